#pragma once
// Editing through a document window: sounds as plain vectors, filling a
// window with one, and the clipboard as another program fills and reads it.

#include <QClipboard>
#include <QFile>
#include <QGuiApplication>
#include <QMimeData>
#include <QUrl>
#include <string>
#include <vector>

#include "support/soundmodel.h"
#include "util/tmpfile.h"
#include "wave/file.h"
#include "wavewin/wavewin.h"
#include "wavewin/wavewintest.h"

namespace NSWaveWinTest {

using V = std::vector<int32_t>;
using TSound = NSSoundModel::TModel;
using NSSoundModel::Fill;
using NSSoundModel::Snapshot;

class EditTest : public WaveWinTest {
protected:
    void SetUp() override {
        WaveWinTest::SetUp();
        QGuiApplication::clipboard()->clear();
    }

    // A window holding `sound` at `rate` with sample size code `size`, as
    // if loaded: nothing selected, not modified, no undo.
    NSWaveWin::TWaveWin* Window(const TSound& sound, int rate = 22050, int size = 4) {
        NSWaveWin::TWaveWin* w = Open();
        w->Document.Rate = rate;
        w->Document.Size = size;
        Fill(w->Document, sound);
        w->UpdateTitle();
        w->ResetView();
        return w;
    }

    // The clipboard holding the WAV image of `sound` under `type`, as
    // another program puts it there.
    void Offer(const TSound& sound, int rate, const char* type = "audio/x-wav") {
        NSWave::TFile file(rate, 2, 4, 1);
        Fill(file, sound);
        TTmpFile wav("wav");
        file.Save(wav.GetFileName());
        QFile in(QString::fromStdString(wav.GetFileName()));
        ASSERT_TRUE(in.open(QIODevice::ReadOnly));
        auto* data = new QMimeData;
        data->setData(QLatin1String(type), in.readAll());
        QGuiApplication::clipboard()->setMimeData(data);
    }

    // The sound of the WAV image the clipboard holds under `type`.
    TSound Clipboard(const char* type = "audio/x-wav", int* rate = nullptr) {
        const QMimeData* data = QGuiApplication::clipboard()->mimeData();
        if (!data || !data->hasFormat(QLatin1String(type)))
            return {};
        TTmpFile wav("wav");
        QFile out(QString::fromStdString(wav.GetFileName()));
        EXPECT_TRUE(out.open(QIODevice::WriteOnly));
        out.write(data->data(QLatin1String(type)));
        out.close();
        NSWave::TFile file;
        file.Load(wav.GetFileName());
        if (rate)
            *rate = file.Rate;
        return Snapshot(file);
    }

    static void Select(NSWaveWin::TWaveWin* w, uint32_t a, uint32_t b, int channel = AllChannels) {
        w->SetSelection(TSampleRange(a, b, channel));
    }
};

} // namespace NSWaveWinTest
