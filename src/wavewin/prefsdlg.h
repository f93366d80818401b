#pragma once
// Preferences: undo levels, the format of new sounds, the view colours with
// their schemes, the keyboard and playback preferences of the view, and how
// MP3 files are saved.

#include <QColor>
#include <QDialog>
#include <array>

class QCheckBox;
class QComboBox;
class QSpinBox;

namespace NSWaveWin {

constexpr int CmdPreferences = 2203;

class TWaveWin;

// Background, waveform, legend, selection; red in the low byte.
using TViewColors = std::array<uint32_t, 4>;

enum class TColorScheme { Classic, Light, Dark, Custom };
// A scheme's colours; Light and Dark follow the desktop's palette.
TViewColors SchemeColors(TColorScheme scheme);
// The colours kept in the settings, and every open window's.
TViewColors StoredColors();
void ApplyColors(const TViewColors& colors);

class TPrefsDlg : public QDialog {
public:
    explicit TPrefsDlg(QWidget* parent);
    void accept() override;

    QSpinBox* UndoLevels;
    QComboBox* Rate;
    QComboBox* Size;
    QSpinBox* Channels;
    QComboBox* Scheme;
    // How Save writes MP3 files.
    QComboBox* Mp3Quality;
    QComboBox* OpusBitrate;
    QCheckBox* FollowPlay;
    QCheckBox* ArrowsMove;
    // Seconds an effect dialog's Preview plays.
    QSpinBox* PreviewSeconds;
    static constexpr int MaxPreviewSeconds = 60;
    // The colours the preview shows and OK keeps.
    TViewColors Colors{};

    // 44,100 Hz, 16-bit, stereo in the new sound's fields.
    void TakeCdFormat();
};

} // namespace NSWaveWin
