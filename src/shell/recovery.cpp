#include "shell/recovery.h"

#include <QDateTime>
#include <QLocale>
#include <algorithm>

#include "platform/msgbox.h"
#include "shell/appframe.h"
#include "util/text.h"
#include "util/xmsg.h"
#include "wave/timefmt.h"
#include "wavewin/wavewin.h"

namespace {

// The one and the many as whole texts, so that a language may word each.
std::string Count(int64_t n, const std::string& one, const std::string& many) {
    return NSText::Fill(n == 1 ? one : many, {std::to_string(n)});
}

std::string Minutes(int64_t n) {
    return Count(n, NSText::Tr("Recovery", "%1 minute"), NSText::Tr("Recovery", "%1 minutes"));
}

// "4.2 seconds", "2 minutes 5 seconds", "1 hour 2 minutes".
std::string DurationText(double seconds) {
    if (seconds < 60)
        return NSText::Fill(NSText::Tr("Recovery", "%1 seconds"),
                            {NSWave::FormatSeconds(seconds, 1, 0)});
    const int64_t whole = int64_t(seconds);
    if (whole < 3600)
        return Minutes(whole / 60) + " " +
               Count(whole % 60, NSText::Tr("Recovery", "%1 second"),
                     NSText::Tr("Recovery", "%1 seconds"));
    return Count(whole / 3600, NSText::Tr("Recovery", "%1 hour"),
                 NSText::Tr("Recovery", "%1 hours")) +
           " " + Minutes(whole % 3600 / 60);
}

bool Recover(TAppFrame& frame, const NSWave::TLostCapture& lost) {
    NSWave::TCapture capture;
    try {
        capture = NSWave::ClaimCapture(lost);
    } catch (const xmsg& e) {
        ShowMessageBox(e.why(), "Brimvale");
        return false;
    }
    if (capture.File.IsEmpty())
        return false;
    // A new sound in the recording's own format, the recording inserted as
    // a recording just made would be: undoable, and the sound modified. The
    // note goes with `capture` once the recording is in.
    NSWaveWin::TWaveWin* window = frame.OpenDocument(std::string(), TMaximise::Decide);
    window->Document.Rate = lost.Rate;
    window->Document.Size = lost.SampleBytes == 1 ? 1 : lost.SampleBytes == 3 ? 3 : 2;
    window->Document.SetChannelCount(lost.Channels);
    window->InsertRecording(capture.File, nullptr, lost.Channels);
    return true;
}

} // namespace

std::string LostRecordingQuestion(const NSWave::TLostCapture& capture) {
    const QDateTime started = QDateTime::fromSecsSinceEpoch(capture.Started);
    const QLocale locale;
    const QString when = locale.toString(started.date(), QLocale::ShortFormat) +
                         QStringLiteral(", ") +
                         locale.toString(started.time(), QLocale::ShortFormat);
    return NSText::Fill(
        NSText::Tr("Recovery", "A recording of %1 from %2 was not saved. Recover it?"),
        {DurationText(double(capture.Samples) / double(std::max(1, capture.Rate))),
         when.toStdString()});
}

int OfferLostRecordings(TAppFrame& frame, const std::vector<NSWave::TLostCapture>& lost) {
    int opened = 0;
    for (const NSWave::TLostCapture& capture : lost) {
        TMessageBoxRequest request;
        request.Text = LostRecordingQuestion(capture);
        request.Caption = "Brimvale";
        request.Buttons = TMsgButtons::YesNoCancel;
        request.Icon = TMsgIcon::Question;
        request.ButtonTexts = {"", "", NSText::Tr("Recovery", "Later")};
        switch (ShowMessageBox(request)) {
        case IdYes:
            opened += Recover(frame, capture) ? 1 : 0;
            break;
        case IdNo:
            NSWave::DiscardCapture(capture);
            break;
        default: // Later: kept for the next start
            break;
        }
    }
    return opened;
}
