// The effects, tracks, format and print commands.

#include <algorithm>

#include "dlg/artwork.h"
#include "util/opstatus.h"
#include "util/text.h"
#include "util/xmsg.h"
#include "wave/cancelled.h"
#include "wavewin/ampdlg.h"
#include "wavewin/echodlg.h"
#include "wavewin/effectdlg.h"
#include "wavewin/formatdlg.h"
#include "wavewin/othereffectdlg.h"
#include "wavewin/pitchdlg.h"
#include "wavewin/vibrodlg.h"
#include "wavewin/wavewin.h"

namespace NSWaveWin {

namespace {

// Reverses `range` of every channel it covers. The channels reach its end
// (ApplyInPlace), so each reversal is a plain one over the whole range.
// Blocks from both ends are swapped in turn, so the progress can follow
// without a test in the loop that swaps.
void ReverseRange(NSWave::TFile& doc, const TSampleRange& range, TOpStatus& status) {
    const int first = range.Channel == AllChannels ? 0 : range.Channel;
    const int last = range.Channel == AllChannels ? doc.ChannelCount() - 1 : range.Channel;
    const uint32_t half = (range.End - range.Start) / 2;
    const uint64_t total = uint64_t(half) * uint64_t(last - first + 1);
    constexpr uint32_t Block = 1u << 16;
    uint64_t done = 0;
    for (int c = first; c <= last && doc.HasChannel(c); ++c) {
        NSWave::TChannel& channel = doc.Channel(c);
        int32_t* low = channel.MutableSamples(range.Start, range.End);
        int32_t* high = low + (range.End - range.Start);
        for (uint32_t i = 0; i < half; i += Block) {
            const uint32_t count = std::min(Block, half - i);
            std::swap_ranges(low + i, low + i + count, std::reverse_iterator<int32_t*>(high - i));
            done += count;
            status.SetPercent(int(done * 100 / std::max<uint64_t>(total, 1)));
            if (status.Cancelled()) {
                channel.Replaced(range.Start, range.End);
                throw NSWave::xcancelled();
            }
        }
        // A paint during a progress report may have summarised the channel
        // half reversed.
        channel.Replaced(range.Start, range.End);
    }
}

// An effect of the Effect menu over the range, with its tool button when
// it has one.
TCommandInfo EffectRow(int id, int order, const char* text, int glyph, TToolPlace tool,
                       void (TWaveWin::*handler)()) {
    TCommandInfo row = TRow(id).Item(TMenu::Effect, order, text).Picture(glyph);
    if (tool.Bar != TToolBar::None)
        row.Button(tool.Bar, tool.Order, tool.Glyph, tool.Caption);
    return row.When(SoundHolds).Idle().Does([handler](TWaveWin& w) { (w.*handler)(); });
}

using TW = TWaveWin;
const TCommandRow EchoRow(EffectRow(
    CmdEcho, 0, QT_TRANSLATE_NOOP("Commands", "&Echo..."), NSArt::GlyphEcho,
    {TToolBar::Effects, 0, NSArt::GlyphEcho, QT_TRANSLATE_NOOP("Commands", "Echo")}, &TW::CmEcho));
const TCommandRow ReverseRow(EffectRow(CmdReverse, 10, QT_TRANSLATE_NOOP("Commands", "&Backwards"),
                                       NSArt::GlyphBackwards,
                                       {TToolBar::Effects, 10, NSArt::GlyphBackwards,
                                        QT_TRANSLATE_NOOP("Commands", "Backwards")},
                                       &TW::CmReverse));
const TCommandRow PitchRow(
    EffectRow(CmdPitch, 20, QT_TRANSLATE_NOOP("Commands", "&Pitch..."), NSArt::GlyphPitch,
              {TToolBar::Effects, 60, NSArt::GlyphPitch, QT_TRANSLATE_NOOP("Commands", "Pitch")},
              &TW::CmPitch));
const TCommandRow VibroRow(EffectRow(CmdVibro, 30, QT_TRANSLATE_NOOP("Commands", "&Vibro..."),
                                     NSArt::GlyphNone, {}, &TW::CmVibro));
const TCommandRow AmplitudeRow(EffectRow(
    CmdAmplitude, 100, QT_TRANSLATE_NOOP("Commands", "&Amplitude..."), NSArt::GlyphAmplify,
    {TToolBar::Effects, 20, NSArt::GlyphAmplify, QT_TRANSLATE_NOOP("Commands", "Amplify")},
    &TW::CmAmplitude));
const TCommandRow FadeInRow(
    EffectRow(CmdFadeIn, 110, QT_TRANSLATE_NOOP("Commands", "Fade &In"), NSArt::GlyphFadeIn,
              {TToolBar::Effects, 40, NSArt::GlyphFadeIn, QT_TRANSLATE_NOOP("Commands", "Fade In")},
              &TW::CmFadeIn));
const TCommandRow FadeOutRow(EffectRow(CmdFadeOut, 120, QT_TRANSLATE_NOOP("Commands", "Fade &Out"),
                                       NSArt::GlyphFadeOut,
                                       {TToolBar::Effects, 50, NSArt::GlyphFadeOut,
                                        QT_TRANSLATE_NOOP("Commands", "Fade Out")},
                                       &TW::CmFadeOut));
const TCommandRow OtherEffectRow(EffectRow(CmdOtherEffect, 200,
                                           QT_TRANSLATE_NOOP("Commands", "Other &Effect..."),
                                           NSArt::GlyphNone, {}, &TW::CmOtherEffect));

const TCommandRow SoundFormatRow(TRow(CmdSoundFormat)
                                     .Item(TMenu::Sound, 100,
                                           QT_TRANSLATE_NOOP("Commands", "Sound &Format"))
                                     .Idle()
                                     .Does([](TWaveWin& w) { w.CmSoundFormat(); }));
const TCommandRow AddTrackRow(TRow(CmdAddTrack)
                                  .Item(TMenu::Sound, 200,
                                        QT_TRANSLATE_NOOP("Commands", "&Add Track"))
                                  .Picture(NSArt::GlyphAddTrack)
                                  .Button(TToolBar::Tracks, 0, NSArt::GlyphAddTrack,
                                          QT_TRANSLATE_NOOP("Commands", "Add Track"))
                                  .When([](const TCommandState& s) { return s.ChannelCount < 32; })
                                  .Idle()
                                  .Does([](TWaveWin& w) { w.CmAddTrack(); }));
const TCommandRow DeleteTrackRow(TRow(CmdDeleteTrack)
                                     .Item(TMenu::Sound, 210,
                                           QT_TRANSLATE_NOOP("Commands", "&Delete Track"))
                                     .Picture(NSArt::GlyphDeleteTrack)
                                     .Button(TToolBar::Tracks, 10, NSArt::GlyphDeleteTrack,
                                             QT_TRANSLATE_NOOP("Commands", "Delete Track"))
                                     .When([](const TCommandState& s) {
                                         return s.ChannelCount > 1 && s.Selection.Valid &&
                                                s.Selection.Channel != AllChannels;
                                     })
                                     .Idle()
                                     .Does([](TWaveWin& w) { w.CmDeleteTrack(); }));
const TCommandRow
    MergeTracksRow(TRow(CmdMergeTracks)
                       .Item(TMenu::Sound, 220, QT_TRANSLATE_NOOP("Commands", "&Merge Tracks"))
                       .Picture(NSArt::GlyphMixTracks)
                       .Button(TToolBar::Tracks, 20, NSArt::GlyphMixTracks,
                               QT_TRANSLATE_NOOP("Commands", "Mix Tracks"))
                       .When([](const TCommandState& s) { return s.ChannelCount > 1; })
                       .Idle()
                       .Does([](TWaveWin& w) { w.CmMergeTracks(); }));

} // namespace

void TWaveWin::CmReverse() {
    ApplyInPlace(EffectiveRange(), NSText::Tr("Window", "Reversing..."),
                 [&](const TSampleRange& range, TOpStatus& status) {
                     ReverseRange(Document, range, status);
                 });
}

void TWaveWin::CmFadeIn() {
    ApplyInPlace(EffectiveRange(), NSText::Tr("Window", "Processing..."),
                 [&](const TSampleRange& range, TOpStatus& status) {
                     Document.Amplify(range, 0.0, 1.0, &status);
                 });
}

void TWaveWin::CmFadeOut() {
    ApplyInPlace(EffectiveRange(), NSText::Tr("Window", "Processing..."),
                 [&](const TSampleRange& range, TOpStatus& status) {
                     Document.Amplify(range, 1.0, 0.0, &status);
                 });
}

void AmplifyBy(NSWave::TFile& doc, const TSampleRange& range, int percent, TOpStatus& status) {
    const double factor = percent * 0.01;
    doc.Amplify(range, factor, factor, &status);
}

bool TWaveWin::ApplyAmplitude(int percent) {
    return ApplyInPlace(EffectiveRange(), NSText::Tr("Window", "Processing..."),
                        [&](const TSampleRange& range, TOpStatus& status) {
                            AmplifyBy(Document, range, percent, status);
                        });
}

namespace {

// Runs an effect dialog for `window`.
template <class TDialog> void RunEffectDialog(TWaveWin& window) {
    TDialog dialog(window);
    dialog.Run();
}

} // namespace

void TWaveWin::CmAmplitude() {
    RunEffectDialog<TAmpDlg>(*this);
}

void TWaveWin::CmEcho() {
    RunEffectDialog<TEchoDlg>(*this);
}

void TWaveWin::CmVibro() {
    RunEffectDialog<TVibroDlg>(*this);
}

void TWaveWin::CmPitch() {
    RunEffectDialog<TPitchDlg>(*this);
}

void TWaveWin::CmOtherEffect() {
    RunEffectDialog<TOtherEffectDlg>(*this);
}

void TWaveWin::CmSoundFormat() {
    CmStop();
    const int rate = Document.Rate;
    bool ok;
    {
        TWaveFormatDlg dialog(Document, *this);
        ok = dialog.exec() == QDialog::Accepted;
    }
    // A conversion that failed or was cancelled changed nothing.
    if (ok) {
        History.Clear();
        SetModified(true);
    }
    // The selection keeps covering the same sound at the new rate.
    if (Document.Rate != rate && rate > 0 && Selection.Valid) {
        auto scaled = [&](uint32_t at) {
            return uint32_t(std::min<uint64_t>(
                uint64_t(at) * uint64_t(Document.Rate) / uint64_t(rate), Document.GetLength()));
        };
        SetSelection(
            TSampleRange(scaled(Selection.Start), scaled(Selection.End), Selection.Channel), false);
    }
    AnnounceChanges();
    UpdateTitle();
}

void TWaveWin::CmAddTrack() {
    if (Document.ChannelCount() >= 32)
        return;
    ApplyEdit(new NSUndo::TAddChannel(*this), std::string(), [&](TOpStatus&) {
        Document.SetChannelCount(Document.ChannelCount() + 1);
        SetSelection(TSampleRange(), false);
        // The layout keeps the scroll position within its range: the new
        // track comes into view.
        ScrollY = 10000;
        FitHeight();
    });
}

void TWaveWin::CmDeleteTrack() {
    const TSampleRange& s = Selection;
    if (Document.ChannelCount() <= 1 || !s.Valid || s.Channel == AllChannels ||
        !Document.HasChannel(s.Channel))
        return;
    const int channel = s.Channel;
    ApplyEdit(new NSUndo::TDelChannel(*this, channel), std::string(), [&](TOpStatus&) {
        Document.DeleteChannel(channel);
        SetSelection(TSampleRange(), false);
        FitHeight();
    });
}

void TWaveWin::CmMergeTracks() {
    if (Document.ChannelCount() < 2 || !Client)
        return;
    TWaveWin* merged = Open(Client, std::string(), false);
    NSWave::TFile& target = merged->Document;
    // The mix keeps the sample size as well as the rate: a new document's
    // 8 bits would lose most of a 16-bit sound when it is saved.
    target.Rate = Document.Rate;
    target.Size = Document.Size;
    target.Style = Document.Style;
    try {
        TTempCursor wait;
        // Same rate: Paste leaves the source as it is.
        target.Paste(Document, TSampleRange());
    } catch (const xmsg& e) {
        ShowError(e.why());
    }
    // Sound that exists nowhere else yet.
    merged->SetModified(true);
    merged->AnnounceChanges();
    merged->UpdateTitle();
    merged->ResetView();
}

} // namespace NSWaveWin
