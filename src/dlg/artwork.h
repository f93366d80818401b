#pragma once
// The program's pictures, all drawn in code so they stay sharp at any device
// pixel ratio: the glyph sheet of the tool buttons and menus, the splash and
// About picture, and the application icon.

#include <QIcon>
#include <QPixmap>
#include <QRect>
#include <QRectF>

class QPainter;

namespace NSArt {

// The glyph sheet: glyphs 0..40 are 32 pixels square in rows of 15 (each row
// 64 pixels high), 41 and 42 are 22 pixels and 43..45 are 20 pixels, side by
// side on the third row; glyphs from 46 on are 32 pixels again, on the rows
// below. Each glyph's disabled image lies directly below its enabled one.
constexpr int GlyphSheetWidth = 480;
constexpr int GlyphSheetHeight = 256;
constexpr int GlyphCount = 47; // 0..46

// The glyphs by name; the number is the glyph's place on the sheet.
enum TGlyph : int {
    GlyphNone = -1,
    GlyphAddTrack = 0,
    GlyphDeleteTrack = 1,
    GlyphMixTracks = 2,
    GlyphEcho = 3,
    GlyphBackwards = 4,
    GlyphAmplify = 5,
    GlyphSilence = 6,
    GlyphFadeIn = 7,
    GlyphFadeOut = 8,
    GlyphPitch = 9,
    GlyphVibro = 10,
    GlyphRecord = 11,
    GlyphStop = 12,
    GlyphPlay = 13,
    GlyphPause = 14,
    GlyphPrint = 15,
    GlyphOpen = 16,
    GlyphNew = 17,
    GlyphExit = 18,
    GlyphSave = 19,
    GlyphSaveAs = 20,
    GlyphFitToWindow = 21,
    GlyphCut = 22,
    GlyphCopy = 23,
    GlyphPaste = 24,
    GlyphDelete = 25,
    GlyphSelectAll = 26,
    GlyphUndo = 27,
    GlyphZoomIn = 28,
    GlyphZoomOut = 29,
    GlyphLevel0 = 30, // to GlyphLevel0 + 7
    GlyphClose = 38,
    GlyphRevert = 39,
    GlyphNotes = 40,
    GlyphPlaybackVolume = 41,
    GlyphRecordingMeter = 42,
    GlyphTaller = 43,  // also the small Zoom In
    GlyphShorter = 44, // also the small Zoom Out
    GlyphFitEdges = 45,
    GlyphNormalize = 46,
};

// 32, 22 or 20; 0 for a number with no glyph.
int GlyphSize(int glyph);
// The glyph's enabled image on the sheet; the disabled one is below it. Empty
// for a number with no glyph.
QRect GlyphRect(int glyph);
// Paints glyph `glyph` (enabled or disabled image) scaled into `target`.
// Nothing is painted for a number with no glyph.
void PaintGlyph(QPainter& painter, int glyph, const QRectF& target, bool enabled);
// The whole sheet, 480 × 192 logical pixels, at a device pixel ratio
// (transparent background).
QPixmap GlyphSheet(qreal devicePixelRatio = 1.0);
// One image of a glyph at a logical size and device pixel ratio; cached per
// (glyph, enabled, size, dpr). A null pixmap for a number with no glyph or a
// size below 1.
QPixmap GlyphPixmap(int glyph, bool enabled, int logicalSize, qreal devicePixelRatio = 1.0);

// The splash and About picture: 474 × 286 logical pixels with the program's
// name and version.
QPixmap SplashImage(qreal devicePixelRatio = 1.0);

// The program's icon (48 and 256 pixels), for window titles and the task bar.
QIcon AppIcon();

} // namespace NSArt
