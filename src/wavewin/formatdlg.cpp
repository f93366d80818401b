#include "wavewin/formatdlg.h"

#include <QComboBox>
#include <QCoreApplication>
#include <QLabel>
#include <sstream>

#include "util/opstatus.h"
#include "util/text.h"
#include "util/xmsg.h"
#include "wave/cancelled.h"
#include "wave/file.h"
#include "wave/soundformat.h"
#include "wave/timefmt.h"
#include "wavewin/effectdlg.h"
#include "wavewin/wavewin.h"

namespace NSWaveWin {

namespace {

QString Text(const std::string& text) {
    return QString::fromStdString(text);
}

// Sample size codes 1 to 4: 8 to 32-bit integers.
constexpr int IntegerSizes = 4;

// The bits a size text names ("16 Bit"); 8 when it names none.
int BitsOf(const QString& text) {
    const int bits = ReadInt(text);
    return bits > 0 ? bits : 8;
}

} // namespace

TWaveFormatDlg::TWaveFormatDlg(NSWave::TFile& document, TWaveWin& window)
    : TStdDlg(&window, 230, 170, QCoreApplication::translate("SoundFormat", "Sound Format")),
      Document(document), Window(window) {
    PlaceText(*this, QCoreApplication::translate("SoundFormat", "Current"), 84, 8, 60, 8);
    PlaceText(*this, QCoreApplication::translate("SoundFormat", "Change To"), 150, 8, 72, 8);
    const char* const rows[] = {QT_TRANSLATE_NOOP("SoundFormat", "Sample Rate"),
                                QT_TRANSLATE_NOOP("SoundFormat", "Sample Size"),
                                QT_TRANSLATE_NOOP("SoundFormat", "Channels"),
                                QT_TRANSLATE_NOOP("SoundFormat", "Duration"),
                                QT_TRANSLATE_NOOP("SoundFormat", "Estimated File Size")};
    const int rowY[] = {22, 38, 54, 68, 82};
    for (int i = 0; i < 5; ++i)
        PlaceText(*this, QCoreApplication::translate("SoundFormat", rows[i]), 8, rowY[i], 74, 8);
    auto value = [&](int id, int x, int y) {
        auto* label = new QLabel(this);
        Place(label, id, x, y, 66, 8);
        return label;
    };

    const uint64_t length = document.GetLength();
    const std::string sizeName = SizeName(document.Size);
    value(2512, 84, 22)->setText(Text(RateText(document.Rate)));
    value(2514, 84, 38)->setText(Text(sizeName));
    value(2516, 84, 54)->setText(QString::number(document.ChannelCount()));
    value(2517, 150, 54)->setText(QString::number(document.ChannelCount()));
    value(2520, 84, 68)->setText(Text(DurationText(document.Rate, length)));
    value(2522, 84, 82)
        ->setText(Text(SizeEstimate(length, BitsOf(Text(sizeName)), document.ChannelCount())));
    value(2521, 150, 68);
    value(2523, 150, 82);

    RateBox = new QComboBox(this);
    RateBox->setEditable(true);
    // Enter is the dialog's Ok, not a new list entry.
    RateBox->setInsertPolicy(QComboBox::NoInsert);
    RateBox->addItems({QStringLiteral("11.025 KHz"), QStringLiteral("22.050 KHz"),
                       QStringLiteral("22.054 KHz"), QStringLiteral("44.100 KHz")});
    FilledRate = Text(RateText(document.Rate));
    RateBox->setEditText(FilledRate);
    Place(RateBox, 2513, 150, 20, 72, 12);

    SizeBox = new QComboBox(this);
    for (int code = 1; code <= IntegerSizes; ++code)
        SizeBox->addItem(Text(SizeName(code)), code);
    // A float sound keeps its own entry, so Ok leaves it as it is unless
    // another size is picked.
    if (SizeBox->findData(document.Size) < 0)
        SizeBox->addItem(Text(sizeName), document.Size);
    SizeBox->setCurrentIndex(SizeBox->findData(document.Size));
    Place(SizeBox, 2515, 150, 36, 72, 12);

    PlaceText(*this,
              QCoreApplication::translate(
                  "SoundFormat", "Note:  Your sound card may not be capable of playing some sample "
                                 "rates.  We recommend staying with the listed suggestions."),
              8, 100, 214, 24)
        ->setWordWrap(true);
    PlaceText(*this,
              QCoreApplication::translate("SoundFormat",
                                          "Changing the sound format can cause sound degradation."),
              8, 126, 214, 10)
        ->setWordWrap(true);
    PlaceOkCancelPreview(*this, 32, 148, [this] { Preview(); });
    setFixedSize(size());
    SetupWindow();
    FollowFields(*this, [this] {
        if (Previews.Playing())
            Preview(true);
    });

    connect(RateBox, &QComboBox::editTextChanged, this, [this] { UpdateChangeTo(); });
    connect(SizeBox, &QComboBox::currentIndexChanged, this, [this] { UpdateChangeTo(); });
    UpdateChangeTo();
}

int TWaveFormatDlg::RateFromText(const QString& text) {
    std::istringstream in(text.toStdString());
    double x = 0;
    if (!(in >> x))
        return 0;
    const long double rate = x >= 1000 ? (long double)x : (long double)x * 1000;
    // Far outside any rate: kept within an int, still refused.
    if (rate >= 1e9L)
        return 1000000000;
    if (rate <= -1e9L)
        return -1000000000;
    return int(rate);
}

std::string TWaveFormatDlg::RateText(int rate) {
    return DefaultNumber(rate * 0.001) + " KHz";
}

std::string TWaveFormatDlg::SizeName(int sizeCode) {
    const std::string bits = std::to_string(NSWave::BitsOfSize(sizeCode)) + " Bit";
    return NSWave::IsFloatSize(sizeCode) ? bits + " Float" : bits;
}

std::string TWaveFormatDlg::DurationText(int rate, uint64_t samples) {
    if (rate == 0)
        return std::string();
    return NSText::Fill(NSText::Tr("SoundFormat", "%1 Sec."),
                        {NSWave::FormatSeconds(double(samples) / rate)});
}

std::string TWaveFormatDlg::SizeEstimate(uint64_t samples, int bits, int channels) {
    // 64 bits: an hour of 32-bit stereo at 384 kHz is past 4 GB.
    const uint64_t bytes = samples * uint64_t(std::max(0, bits / 8)) * uint64_t(channels);
    if (bytes <= 4999)
        return NSText::Fill(NSText::Tr("SoundFormat", "%1 Bytes"), {std::to_string(bytes)});
    if (bytes <= 4999999)
        return std::to_string(bytes >> 10) + " KB";
    if ((bytes >> 20) <= 4999)
        return std::to_string(bytes >> 20) + " MB";
    return std::to_string(bytes >> 30) + " GB";
}

int TWaveFormatDlg::ChosenRate() const {
    // The filled-in text is rounded ("37.8 KHz" for 37800 would read back
    // as 37799): untouched, it means the document's own rate.
    if (RateBox->currentText() == FilledRate)
        return Document.Rate;
    return RateFromText(RateBox->currentText());
}

void TWaveFormatDlg::UpdateChangeTo() {
    const int rate = ChosenRate();
    int64_t samples = 0;
    if (Document.Rate != 0 && rate > 0)
        samples =
            int64_t(uint64_t(Document.GetLength()) * uint64_t(rate) / uint64_t(Document.Rate));
    static_cast<QLabel*>(Control(2521))->setText(Text(DurationText(rate, uint64_t(samples))));
    static_cast<QLabel*>(Control(2523))
        ->setText(Text(SizeEstimate(uint64_t(samples), BitsOf(SizeBox->currentText()),
                                    Document.ChannelCount())));
}

void TWaveFormatDlg::accept() {
    if (CanClose())
        QDialog::accept();
}

void TWaveFormatDlg::done(int result) {
    Previews.Stop();
    TStdDlg::done(result);
}

void TWaveFormatDlg::Preview(bool quiet) {
    const int rate = ChosenRate();
    if (rate < MinRate || rate > MaxRate) {
        Previews.Stop();
        if (!quiet)
            Window.MessageBox(NSText::Tr("SoundFormat", "Error: Invalid Rate"),
                              NSText::Tr("SoundFormat", "Sound Format"), TMsgButtons::Ok,
                              TMsgIcon::Error);
        return;
    }
    const int size = SizeBox->currentData().toInt();
    Previews.Play(
        TSampleRange(0, Document.GetLength(), AllChannels),
        [rate, size](NSWave::TFile& doc, const TSampleRange&, TOpStatus& status) {
            doc.SetRate(rate, &status);
            if (size > 0)
                doc.Size = size;
        },
        quiet);
}

bool TWaveFormatDlg::CanClose() {
    Previews.Stop();
    try {
        const int rate = ChosenRate();
        if (rate < MinRate || rate > MaxRate)
            throw xmsg(NSText::Tr("SoundFormat", "Invalid Rate"));
        const int size = SizeBox->currentData().toInt();
        if (rate != Document.Rate) {
            // The conversion changes the sound only once every channel is
            // done: a Cancel or a failure leaves it as it was.
            TOpStatus status(NSText::Tr("SoundFormat", "Resampling..."), Window.StatusTarget());
            Begun = true;
            Document.SetRate(rate, &status);
        }
        if (size > 0)
            Document.Size = size;
        return true;
    } catch (const NSWave::xcancelled&) {
        // Stopped by the user: the dialog stays, with nothing to say.
        return false;
    } catch (const xmsg& e) {
        Window.MessageBox(NSText::Fill(NSText::Tr("SoundFormat", "Error: %1"), {e.why()}),
                          NSText::Tr("SoundFormat", "Sound Format"), TMsgButtons::Ok,
                          TMsgIcon::Error);
        return false;
    }
}

} // namespace NSWaveWin
