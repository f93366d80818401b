#include "wavewin/preview.h"

#include <algorithm>

#include "util/opstatus.h"
#include "util/text.h"
#include "util/xmsg.h"
#include "wave/cancelled.h"
#include "wave/device.h"
#include "wave/file.h"
#include "wavewin/wavewin.h"

namespace NSWaveWin {

TValueSetting TEffectPreview::SecondsSetting("View\\PreviewSeconds", 6);

TEffectPreview::TEffectPreview(TWaveWin& window) : Window(window) {}

TEffectPreview::~TEffectPreview() {
    Stop();
}

void TEffectPreview::Stop() {
    if (Engine)
        Engine->Stop();
    Engine.reset();
}

bool TEffectPreview::Playing() const {
    return Engine && Engine->State() == NSWave::TDeviceState::Playing;
}

bool TEffectPreview::Play(const TSampleRange& range, const TEffectChange& change, bool quiet) {
    Stop();
    NSWave::TFile& doc = Window.Document;
    TSampleRange clipped = range;
    clipped.End = std::min(clipped.End, doc.GetLength());
    if (!clipped.Valid || clipped.Start >= clipped.End || doc.Rate <= 0)
        return false;
    const uint64_t most = uint64_t(std::max(1, SecondsSetting.Get())) * uint64_t(doc.Rate);
    const uint32_t end = uint32_t(std::min<uint64_t>(clipped.End, clipped.Start + most));
    // Every channel is copied, so a change over one channel finds it at its
    // own index, as in the document.
    Copy = std::make_unique<NSWave::TFile>(doc, TSampleRange(clipped.Start, end, AllChannels));
    try {
        TOpStatus status(NSText::Tr("Effect", "Previewing..."), Window.StatusTarget());
        change(*Copy, TSampleRange(0, end - clipped.Start, clipped.Channel), status);
    } catch (const NSWave::xcancelled&) {
        Copy.reset();
        return false;
    } catch (const xmsg& e) {
        Copy.reset();
        if (!quiet)
            Window.MessageBox(e.why(), "Brimvale", TMsgButtons::Ok, TMsgIcon::None);
        return false;
    }
    // One engine plays at a time.
    if (NSWave::TPlayRecEngine* other = NSWave::ActiveEngine())
        other->Stop();
    Engine = std::make_unique<NSWave::TPlayRecEngine>(*Copy);
    Engine->Play(TSampleRange(0, Copy->GetLength(), clipped.Channel),
                 Window.Level() * NSWave::VolumeStep);
    return Playing();
}

} // namespace NSWaveWin
