// The program's pictures, drawn with QPainter from paths, gradients and text.
// Each glyph is designed on a grid of its own size (32, 22 or 20 units) with
// strokes on half units so it is crisp at its natural size, and it scales to
// any device pixel ratio. The disabled image is the same drawing through a
// grey, low-contrast ink with the shading left out.

#include "dlg/artwork.h"

#include <QCoreApplication>
#include <QFont>
#include <QImage>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QPainterPathStroker>
#include <QPixmapCache>
#include <QPolygonF>
#include <QRadialGradient>
#include <QTransform>

#include <cmath>
#include <functional>
#include <numbers>
#include <utility>

// Qt's resource initialiser has to be named outside any namespace.
static void InitArtworkResources() {
    Q_INIT_RESOURCE(artwork);
}

namespace NSArt {

namespace {

constexpr double Pi = std::numbers::pi;

// The palette: blues for sound, green for play and adding, red for record
// and removal, amber for folders and pencils, slate for hardware.
constexpr QRgb WaveLine = 0xff1c5fc0;
constexpr QRgb WaveFill = 0xffa9d1fb;
constexpr QRgb StripBack = 0xff233a86;
constexpr QRgb StripWave = 0xffffe04d;
constexpr QRgb Green = 0xff3ea244;
constexpr QRgb Red = 0xffe23b36;
constexpr QRgb Orange = 0xfff08a12;
constexpr QRgb Amber = 0xffffc531;
constexpr QRgb Blue = 0xff2a86e0;
constexpr QRgb Teal = 0xff12968a;
constexpr QRgb Purple = 0xff8a3db8;
constexpr QRgb Slate = 0xff4a5a6e;
constexpr QRgb Steel = 0xff9fb0bf;
constexpr QRgb Paper = 0xfffdfdfd;
constexpr QRgb PaperEdge = 0xff7b8a9a;
constexpr QRgb TextLine = 0xff8fb4dd;
constexpr QRgb White = 0xffffffff;

QRgb Mix(QRgb a, QRgb b, double t) {
    auto m = [t](int x, int y) { return int(std::lround(x + (y - x) * t)); };
    return qRgba(m(qRed(a), qRed(b)), m(qGreen(a), qGreen(b)), m(qBlue(a), qBlue(b)),
                 m(qAlpha(a), qAlpha(b)));
}

QRgb WithAlpha(QRgb c, int alpha) {
    return qRgba(qRed(c), qGreen(c), qBlue(c), alpha);
}

QRgb Darker(QRgb c, double t = 0.38) {
    return WithAlpha(Mix(c, 0xff000000, t), qAlpha(c));
}

QRgb Lighter(QRgb c, double t = 0.4) {
    return WithAlpha(Mix(c, 0xffffffff, t), qAlpha(c));
}

QRectF Box(double x, double y, double w, double h) {
    return QRectF(x, y, w, h);
}

QPainterPath RoundRect(const QRectF& r, double radius) {
    QPainterPath path;
    path.addRoundedRect(r, radius, radius);
    return path;
}

QPainterPath Polygon(std::initializer_list<QPointF> points) {
    QPainterPath path;
    path.addPolygon(QPolygonF(QList<QPointF>(points)));
    path.closeSubpath();
    return path;
}

// Separate straight lines, each from its first point to its second.
QPainterPath Segments(std::initializer_list<std::pair<QPointF, QPointF>> lines) {
    QPainterPath path;
    for (const auto& [from, to] : lines) {
        path.moveTo(from);
        path.lineTo(to);
    }
    return path;
}

QPainterPath Circle(QPointF centre, double radius) {
    QPainterPath path;
    path.addEllipse(centre, radius, radius);
    return path;
}

// Points on a circle, angles in degrees measured clockwise on the screen
// (y grows downwards), from `from` to `to`.
QPolygonF Arc(QPointF centre, double radius, double from, double to, int steps = 48) {
    QPolygonF points;
    for (int i = 0; i <= steps; ++i) {
        double a = (from + (to - from) * i / steps) * Pi / 180;
        points << centre + QPointF(std::cos(a), std::sin(a)) * radius;
    }
    return points;
}

QPainterPath Open(const QPolygonF& points) {
    QPainterPath path;
    path.addPolygon(points);
    return path;
}

// The outline of a stroke, so that it can be filled and edged like a shape.
QPainterPath Outline(const QPainterPath& spine, double width, Qt::PenCapStyle cap = Qt::RoundCap) {
    QPainterPathStroker stroker;
    stroker.setWidth(width);
    stroker.setCapStyle(cap);
    stroker.setJoinStyle(Qt::RoundJoin);
    return stroker.createStroke(spine).simplified();
}

// An arrow along `spine` with its tip at the spine's last point (and also at
// its first when `both`): a shaft of `width` and a triangular head.
QPainterPath ArrowPath(QPolygonF spine, double width, double headLength, double headWidth,
                       bool both = false) {
    auto head = [&](QPolygonF& line) {
        QPointF tip = line.last();
        // Shorten the shaft so its corners stay inside the head.
        double cut = headLength * 0.7;
        while (line.size() > 2 && QLineF(line[line.size() - 2], tip).length() < cut)
            line.removeLast();
        QLineF last(line[line.size() - 2], tip);
        QPointF dir = (tip - last.p1()) / last.length();
        QPointF normal(-dir.y(), dir.x());
        line.last() = tip - dir * cut;
        QPointF base = tip - dir * headLength;
        return Polygon({tip, base + normal * headWidth / 2, base - normal * headWidth / 2});
    };
    QPainterPath heads = head(spine);
    if (both) {
        std::reverse(spine.begin(), spine.end());
        heads = heads.united(head(spine));
    }
    return Outline(Open(spine), width, Qt::FlatCap).united(heads).simplified();
}

QPainterPath Cross(QPointF centre, double half, double width) {
    QPainterPath spine;
    spine.moveTo(centre + QPointF(-half, -half));
    spine.lineTo(centre + QPointF(half, half));
    spine.moveTo(centre + QPointF(half, -half));
    spine.lineTo(centre + QPointF(-half, half));
    return Outline(spine, width);
}

QPainterPath Plus(QPointF centre, double half, double width, bool vertical = true) {
    QPainterPath spine;
    spine.moveTo(centre + QPointF(-half, 0));
    spine.lineTo(centre + QPointF(half, 0));
    if (vertical) {
        spine.moveTo(centre + QPointF(0, -half));
        spine.lineTo(centre + QPointF(0, half));
    }
    return Outline(spine, width, Qt::FlatCap);
}

using TEnvelope = std::function<double(double)>;

// An oscillation across `r` whose amplitude follows `envelope` (0..1 over
// t = 0..1), as an open line.
QPainterPath WaveSpine(const QRectF& r, const TEnvelope& envelope, double cycles) {
    QPolygonF points;
    int steps = std::max(24, int(cycles * 24));
    for (int i = 0; i <= steps; ++i) {
        double t = double(i) / steps;
        double y = std::sin(2 * Pi * cycles * t) * envelope(t);
        points << QPointF(r.left() + t * r.width(), r.center().y() - y * r.height() / 2);
    }
    return Open(points);
}

// The area the oscillation sweeps: between +envelope and -envelope.
QPainterPath EnvelopeArea(const QRectF& r, const TEnvelope& envelope) {
    QPolygonF top, bottom;
    for (int i = 0; i <= 48; ++i) {
        double t = i / 48.0;
        double a = envelope(t) * r.height() / 2;
        top << QPointF(r.left() + t * r.width(), r.center().y() - a);
        bottom.prepend(QPointF(r.left() + t * r.width(), r.center().y() + a));
    }
    QPainterPath path;
    path.addPolygon(top + bottom);
    path.closeSubpath();
    return path;
}

double Full(double) {
    return 1;
}

// Draws one glyph on its own grid through the enabled or the disabled ink.
class TGlyphArtist {
public:
    TGlyphArtist(QPainter& painter, bool enabled) : P(painter), Enabled(enabled) {}

    void Draw(int glyph);

private:
    QPainter& P;
    bool Enabled;

    // The colour as this image shows it: as designed, or for the disabled
    // image a light grey of the same lightness with much less contrast.
    QColor Ink(QRgb c) const {
        if (Enabled)
            return QColor::fromRgba(c);
        int g = 126 + qGray(c) * 112 / 255;
        return QColor(g, g, g, qAlpha(c));
    }

    // A fill with a light shading from top to bottom (flat when disabled).
    QBrush Shade(QRgb base, const QRectF& area) const {
        if (!Enabled)
            return QBrush(Ink(base));
        QLinearGradient g(area.topLeft(), area.bottomLeft());
        g.setColorAt(0, Ink(Lighter(base, 0.32)));
        g.setColorAt(1, Ink(Darker(base, 0.06)));
        return QBrush(g);
    }

    void Body(const QPainterPath& path, QRgb base, QRgb edge, double edgeWidth = 1) {
        P.setPen(QPen(Ink(edge), edgeWidth, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
        P.setBrush(Shade(base, path.boundingRect()));
        P.drawPath(path);
    }
    void Body(const QPainterPath& path, QRgb base) { Body(path, base, Darker(base)); }

    void Flat(const QPainterPath& path, QRgb colour) {
        P.setPen(Qt::NoPen);
        P.setBrush(Ink(colour));
        P.drawPath(path);
    }

    void Line(const QPainterPath& path, QRgb colour, double width,
              Qt::PenCapStyle cap = Qt::RoundCap) {
        P.setPen(QPen(Ink(colour), width, Qt::SolidLine, cap, Qt::RoundJoin));
        P.setBrush(Qt::NoBrush);
        P.drawPath(path);
    }

    // A white gleam on a shaded shape; the flat disabled image has none.
    void Gleam(const QPainterPath& path, int alpha = 110) {
        if (Enabled)
            Flat(path, WithAlpha(White, alpha));
    }

    void Wave(const QRectF& r, const TEnvelope& envelope, double cycles, QRgb line = WaveLine,
              QRgb fill = WaveFill, double width = 1.4) {
        Flat(EnvelopeArea(r, envelope), fill);
        Line(WaveSpine(r, envelope, cycles), line, width);
    }

    // A sound as the program's icon shows it: rounded bars whose heights
    // follow `envelope`, with a fixed ripple so it looks like real sound.
    void Bars(const QRectF& r, const TEnvelope& envelope, double pitch = 3, double width = 2,
              QRgb colour = WaveLine) {
        static constexpr double Ripple[] = {0.8, 1.0, 0.7, 0.92, 0.62, 0.97, 0.78, 0.88, 0.66, 1.0};
        int count = int((r.width() - width) / pitch + 1e-9) + 1;
        QLinearGradient g(0, r.top(), 0, r.bottom());
        g.setColorAt(0, Ink(colour));
        g.setColorAt(0.5, Ink(Lighter(colour, 0.3)));
        g.setColorAt(1, Ink(colour));
        P.setPen(Qt::NoPen);
        P.setBrush(Enabled ? QBrush(g) : QBrush(Ink(colour)));
        for (int i = 0; i < count; ++i) {
            double t = count > 1 ? double(i) / (count - 1) : 0.5;
            double h = std::max(1.5, envelope(t) * Ripple[i % 10] * r.height());
            P.drawRoundedRect(Box(r.left() + i * pitch, r.center().y() - h / 2, width, h),
                              width / 2, width / 2);
        }
    }

    // A track: a dark strip with its waveform in the document view's colours.
    void Strip(const QRectF& r, double cycles = 3) {
        Body(RoundRect(r, 2.5), StripBack, 0xff101c45);
        QRectF inner = r.adjusted(2.5, 2.5, -2.5, -2.5);
        Line(WaveSpine(
                 inner, [](double t) { return 0.35 + 0.65 * std::sin(Pi * t); }, cycles),
             StripWave, 1.3);
    }

    enum class ESign { Plus, Minus, Cross };

    // A round badge with a white sign, ringed in white to stand off what lies
    // under it.
    void Badge(QPointF centre, double radius, QRgb colour, ESign sign) {
        Flat(Circle(centre, radius + 1), White);
        Body(Circle(centre, radius), colour);
        double half = radius * 0.55, width = radius * 0.36;
        QPainterPath mark = sign == ESign::Cross ? Cross(centre, half * 0.8, width)
                                                 : Plus(centre, half, width, sign == ESign::Plus);
        Flat(mark, White);
    }

    void Page(const QRectF& r, double fold = 6) {
        QPainterPath page =
            Polygon({r.topLeft(), r.topRight() - QPointF(fold, 0), r.topRight() + QPointF(0, fold),
                     r.bottomRight(), r.bottomLeft()});
        Body(page, Paper, PaperEdge);
        Body(Polygon({r.topRight() - QPointF(fold, 0), r.topRight() + QPointF(-fold, fold),
                      r.topRight() + QPointF(0, fold)}),
             0xffdde5ee, PaperEdge);
    }

    void TextLines(double x, double y, double width, int count, double pitch = 3) {
        QPainterPath lines;
        for (int i = 0; i < count; ++i) {
            lines.moveTo(x, y + i * pitch);
            lines.lineTo(x + (i % 3 == 2 ? width * 0.6 : width), y + i * pitch);
        }
        Line(lines, TextLine, 1.2, Qt::FlatCap);
    }

    void Loudspeaker(const QRectF& r) {
        // r is the whole speaker: a box on the left third, the cone after it.
        double boxW = r.width() * 0.38, boxH = r.height() * 0.42;
        double cy = r.center().y();
        QPainterPath speaker =
            Polygon({QPointF(r.left(), cy - boxH / 2), QPointF(r.left() + boxW, cy - boxH / 2),
                     QPointF(r.right(), r.top()), QPointF(r.right(), r.bottom()),
                     QPointF(r.left() + boxW, cy + boxH / 2), QPointF(r.left(), cy + boxH / 2)});
        Body(speaker, Slate, 0xff222b36);
    }

    void Magnifier(bool plus) {
        QPointF c(12.5, 12.5);
        QPainterPath handle;
        handle.moveTo(19.5, 19.5);
        handle.lineTo(28, 28);
        Body(Outline(handle, 5), Slate, 0xff222b36);
        Body(Circle(c, 10), Steel, Slate, 1);
        QPainterPath lens = Circle(c, 7.8);
        if (Enabled) {
            QRadialGradient g(c - QPointF(2.5, 2.5), 10);
            g.setColorAt(0, QColor(0xffffff));
            g.setColorAt(1, QColor(0xc4e2fb));
            P.setPen(QPen(Ink(0xff6c8aa6), 1));
            P.setBrush(g);
            P.drawPath(lens);
        } else {
            Body(lens, 0xffeaf4fd, 0xff6c8aa6);
        }
        Flat(Plus(c, 5, 2.6, plus), 0xff1d5cb3);
    }

    void Floppy(const QRectF& r) {
        double cut = r.width() * 0.16;
        QPainterPath disk =
            Polygon({r.topLeft(), r.topRight() - QPointF(cut, 0), r.topRight() + QPointF(0, cut),
                     r.bottomRight(), r.bottomLeft()});
        Body(disk, Blue, 0xff134a8a);
        double u = r.width() / 25;
        // The metal shutter with its window, and the label.
        Body(RoundRect(Box(r.left() + 6 * u, r.top(), 12 * u, 8.5 * u), 0.8), 0xffdfe6ec,
             0xff6f7f8f, 0.8);
        Flat(RoundRect(Box(r.left() + 13.5 * u, r.top() + 1.6 * u, 2.6 * u, 5.2 * u), 0.5), Slate);
        Body(RoundRect(Box(r.left() + 3.5 * u, r.top() + 13 * u, 18 * u, 12 * u - 1), 1), Paper,
             0xff8aa0b5, 0.8);
        TextLines(r.left() + 6 * u, r.top() + 17 * u, 13 * u, 2, 3.5 * u);
    }

    void Note(QPointF head, double scale, QRgb colour, bool flag) {
        // An eighth note: an oval head, a stem and a flag.
        QPainterPath oval;
        oval.addEllipse(QPointF(0, 0), 3.4 * scale, 2.5 * scale);
        QTransform t;
        t.translate(head.x(), head.y());
        t.rotate(-22);
        QPainterPath note = t.map(oval);
        QPointF stemFoot = head + QPointF(3 * scale, -0.9 * scale);
        QPointF stemTop = stemFoot + QPointF(0, -15 * scale);
        QPainterPath stem;
        stem.moveTo(stemFoot);
        stem.lineTo(stemTop);
        note = note.united(Outline(stem, 1.7 * scale, Qt::FlatCap));
        if (flag) {
            QPainterPath f;
            f.moveTo(stemTop);
            f.cubicTo(stemTop + QPointF(0.5 * scale, 4 * scale),
                      stemTop + QPointF(6 * scale, 4 * scale),
                      stemTop + QPointF(4.5 * scale, 10 * scale));
            note = note.united(Outline(f, 1.8 * scale));
        }
        Body(note.simplified(), colour, Darker(colour, 0.45), 0.8);
    }

    void VolumeLevel(int level);

    // One function per glyph (a few draw neighbours that differ in one
    // detail), and the table that finds it.
    void AddTrack(int glyph);
    void DeleteTrack(int glyph);
    void MixTracks(int glyph);
    void Echo(int glyph);
    void Backwards(int glyph);
    void Amplify(int glyph);
    void Silence(int glyph);
    void Fade(int glyph);
    void Pitch(int glyph);
    void Vibro(int glyph);
    void Record(int glyph);
    void Stop(int glyph);
    void Play(int glyph);
    void Pause(int glyph);
    void Print(int glyph);
    void Open(int glyph);
    void New(int glyph);
    void Exit(int glyph);
    void Save(int glyph);
    void SaveAs(int glyph);
    void FitToWindow(int glyph);
    void Cut(int glyph);
    void Copy(int glyph);
    void Paste(int glyph);
    void Delete(int glyph);
    void SelectAll(int glyph);
    void Undo(int glyph);
    void Zoom(int glyph);
    void Level(int glyph);
    void Close(int glyph);
    void Revert(int glyph);
    void Notes(int glyph);
    void PlaybackVolume(int glyph);
    void RecordingMeter(int glyph);
    void Taller(int glyph);
    void Shorter(int glyph);
    void FitEdges(int glyph);
    void Normalize(int glyph);
    struct TDrawing {
        int First, Last;
        void (TGlyphArtist::*Paint)(int glyph);
    };
    static const TDrawing Drawings[];
};

void TGlyphArtist::VolumeLevel(int level) {
    Loudspeaker(Box(1.5, 9.5, 8.5, 15));
    // Seven bars rising to the right; `level` of them lit.
    for (int i = 0; i < 7; ++i) {
        double height = 5 + i * 3.2;
        QRectF bar = Box(11.5 + 3 * i, 27.5 - height, 2, height);
        QRgb c = i < 4 ? Green : i < 6 ? 0xfff5b400 : 0xffea5a1c;
        if (i < level)
            Body(RoundRect(bar, 0.6), c, Darker(c, 0.35), 0.9);
        else
            Body(RoundRect(bar, 0.6), 0xffe9eef2, 0xffa6b4c0, 0.9);
    }
    if (level == 0)
        Body(Cross(QPointF(15.5, 9.5), 3.3, 2.6), Red, 0xff8e1512, 0.8);
}

// Add Track
void TGlyphArtist::AddTrack(int) {
    Strip(Box(1.5, 4.5, 27, 16));
    Badge(QPointF(24, 24), 6.5, Green, ESign::Plus);
}

// Delete Track
void TGlyphArtist::DeleteTrack(int) {
    Strip(Box(1.5, 4.5, 27, 16));
    Badge(QPointF(24, 24), 6.5, Red, ESign::Minus);
}

// Mix Tracks: two tracks flow into one
void TGlyphArtist::MixTracks(int) {
    Strip(Box(1.5, 1.5, 13, 11), 2);
    Strip(Box(1.5, 19.5, 13, 11), 2);
    Strip(Box(18.5, 9.5, 12, 13), 2);
    QPainterPath join;
    join.moveTo(14.5, 7);
    join.cubicTo(17, 7, 15.5, 16, 18.5, 16);
    join.moveTo(14.5, 25);
    join.cubicTo(17, 25, 15.5, 16, 18.5, 16);
    Line(join, Orange, 2);
}

// Echo: a sound and its fading repeats
void TGlyphArtist::Echo(int) {
    for (int i = 0; i < 3; ++i) {
        double gain = 1 - 0.3 * i;
        QRgb c = Mix(WaveLine, 0xffcfd8e3, 0.3 * i);
        Bars(
            Box(2 + 10 * i, 3, 8, 26),
            [gain](double t) { return gain * (0.6 + 0.4 * std::sin(Pi * t)); }, 3, 2, c);
    }
}

// Backwards: a struck sound and an arrow back along it
void TGlyphArtist::Backwards(int) {
    Bars(Box(3, 1.5, 26, 18), [](double t) { return std::exp(-2 * t); });
    Body(ArrowPath(QPolygonF({QPointF(29.5, 25.5), QPointF(2.5, 25.5)}), 3.4, 8, 10), Orange);
}

// Amplify: the sound grows, with an arrow up
void TGlyphArtist::Amplify(int) {
    Bars(Box(3, 6, 26, 24), [](double t) { return t < 0.4 ? 0.32 : 1; });
    Body(ArrowPath(QPolygonF({QPointF(6.5, 12.5), QPointF(6.5, 1)}), 3.2, 6, 9), Green);
}

// Silence: a flat stretch in a selection between two sounds
void TGlyphArtist::Silence(int) {
    Body(RoundRect(Box(9.5, 2.5, 13, 27), 1), 0xfffff2bf, 0xffe0b84a);
    Bars(Box(2, 4, 5, 24), Full);
    Bars(Box(25, 4, 5, 24), Full);
    QPainterPath flat;
    flat.moveTo(9.5, 16);
    flat.lineTo(22.5, 16);
    Line(flat, WaveLine, 2, Qt::FlatCap);
}

// Fade In / Fade Out
void TGlyphArtist::Fade(int glyph) {
    auto rising = [](double t) { return t; };
    auto falling = [](double t) { return 1 - t; };
    TEnvelope env = glyph == 7 ? TEnvelope(rising) : TEnvelope(falling);
    QRectF r = Box(3, 3, 26, 26);
    Bars(r, env);
    QPainterPath edge;
    QPointF loud = glyph == 7 ? r.topRight() : r.topLeft();
    QPointF quiet =
        glyph == 7 ? QPointF(r.left(), r.center().y()) : QPointF(r.right(), r.center().y());
    QPointF loudLow = glyph == 7 ? r.bottomRight() : r.bottomLeft();
    edge.moveTo(loud + QPointF(glyph == 7 ? 1 : -1, -1));
    edge.lineTo(quiet);
    edge.lineTo(loudLow + QPointF(glyph == 7 ? 1 : -1, 1));
    Line(edge, Orange, 1.6);
}

// Pitch: a wave and a note
void TGlyphArtist::Pitch(int) {
    Wave(Box(1.5, 9, 19, 20), Full, 2.5, WaveLine, WaveFill, 1.8);
    Note(QPointF(22.5, 21.5), 1, Purple, true);
}

// Vibro: a tremolo, the level wobbling
void TGlyphArtist::Vibro(int) {
    auto wobble = [](double t) { return 0.5 + 0.5 * std::cos(2 * Pi * 2 * t); };
    QRectF r = Box(3, 3, 26, 26);
    Bars(r, [&](double t) { return 0.15 + 0.85 * wobble(t); });
    QPainterPath top, bottom;
    for (int i = 0; i <= 48; ++i) {
        double t = i / 48.0;
        double a = (0.15 + 0.85 * wobble(t)) * r.height() / 2 + 1;
        QPointF pt(r.left() + 1 + t * (r.width() - 2), r.center().y() - a);
        QPointF pb(pt.x(), r.center().y() + a);
        i ? top.lineTo(pt) : top.moveTo(pt);
        i ? bottom.lineTo(pb) : bottom.moveTo(pb);
    }
    Line(top, Orange, 1.4);
    Line(bottom, Orange, 1.4);
}

// Record
void TGlyphArtist::Record(int) {
    QPointF c(16, 16);
    QPainterPath disc = Circle(c, 11.5);
    if (Enabled) {
        QRadialGradient g(c - QPointF(3.5, 4.5), 15);
        g.setColorAt(0, QColor(0xff7a6e));
        g.setColorAt(0.55, QColor(Red));
        g.setColorAt(1, QColor(0xb81c18));
        P.setPen(QPen(QColor(0x8e1512), 1));
        P.setBrush(g);
        P.drawPath(disc);
    } else {
        Body(disc, Red, 0xff8e1512);
    }
    QPainterPath gleam;
    gleam.addEllipse(QPointF(12.5, 10.5), 5, 3);
    Gleam(gleam, 95);
}

// Stop
void TGlyphArtist::Stop(int) {
    Body(RoundRect(Box(6.5, 6.5, 19, 19), 3), 0xff3b4656, 0xff1b222b);
    Gleam(RoundRect(Box(8.5, 8.5, 15, 5), 2), 60);
}

// Play
void TGlyphArtist::Play(int) {
    QPainterPath tri = Polygon({QPointF(9, 4.5), QPointF(27.5, 16), QPointF(9, 27.5)});
    // Rounded corners: the triangle grown by a round-joined stroke.
    QPainterPath rounded = tri.united(Outline(tri, 3)).simplified();
    Body(rounded, Green, 0xff23702a);
}

// Pause
void TGlyphArtist::Pause(int) {
    Body(RoundRect(Box(7.5, 6.5, 6.5, 19), 1.8), Blue, 0xff14508e);
    Body(RoundRect(Box(18, 6.5, 6.5, 19), 1.8), Blue, 0xff14508e);
}

// Print
void TGlyphArtist::Print(int) {
    Body(RoundRect(Box(8.5, 2.5, 15, 11), 0.5), Paper, PaperEdge);
    Body(RoundRect(Box(1.5, 10.5, 29, 13), 2.5), 0xffa3b2c0, 0xff4f5e6c);
    Flat(RoundRect(Box(6, 19, 20, 2), 1), 0xff3b4656);
    Flat(Circle(QPointF(26, 14.5), 1.4), 0xff32c13a);
    Body(RoundRect(Box(7.5, 20.5, 17, 9), 0.5), Paper, PaperEdge);
    TextLines(10, 23.5, 12, 2, 3);
}

// Open
void TGlyphArtist::Open(int) {
    Body(Polygon({QPointF(2.5, 5.5), QPointF(11, 5.5), QPointF(13.5, 8.5), QPointF(26.5, 8.5),
                  QPointF(26.5, 27.5), QPointF(2.5, 27.5)}),
         0xffe9a91c, 0xffa0700c);
    Page(Box(6.5, 3.5, 16, 14), 4);
    Body(Polygon({QPointF(7.5, 14.5), QPointF(31, 14.5), QPointF(26.5, 27.5), QPointF(2.5, 27.5)}),
         Amber, 0xffa0700c);
}

// New: a blank page with a sparkle
void TGlyphArtist::New(int) {
    Page(Box(5.5, 2.5, 20, 27), 7);
    QPainterPath star;
    QPointF c(24, 23);
    for (int i = 0; i < 8; ++i) {
        double r = i % 2 ? 2 : 6.5;
        double a = (i * 45 - 90) * Pi / 180;
        QPointF pt = c + QPointF(std::cos(a), std::sin(a)) * r;
        i ? star.lineTo(pt) : star.moveTo(pt);
    }
    star.closeSubpath();
    Body(star, 0xffffd21f, 0xffc07a00, 0.9);
}

// Exit: an open door and an arrow out
void TGlyphArtist::Exit(int) {
    Body(RoundRect(Box(3.5, 2.5, 15, 27), 1), 0xff3b4656, 0xff1b222b);
    QPainterPath door =
        Polygon({QPointF(3.5, 2.5), QPointF(11.5, 5.5), QPointF(11.5, 30.5), QPointF(3.5, 29.5)});
    Body(door, 0xffc07a3a, 0xff7a4514);
    Flat(Circle(QPointF(9.5, 17), 1.1), 0xfff3d27a);
    Body(ArrowPath(QPolygonF({QPointF(14, 16), QPointF(30.5, 16)}), 4, 7.5, 11), Red);
}

// Save
void TGlyphArtist::Save(int) {
    Floppy(Box(3.5, 3.5, 25, 25));
}

// Save As: the disk and a pencil
void TGlyphArtist::SaveAs(int) {
    Floppy(Box(1.5, 1.5, 22, 22));
    QTransform t;
    t.translate(22, 22);
    t.rotate(45);
    // The pencil along its own axis: tip at the left, rubber at the right.
    QPainterPath body = RoundRect(Box(-3, -3, 16, 6), 0.8);
    QPainterPath tip = Polygon({QPointF(-3, -3), QPointF(-9, 0), QPointF(-3, 3)});
    QPainterPath lead = Polygon({QPointF(-7, -1), QPointF(-9, 0), QPointF(-7, 1)});
    Flat(t.map(Outline(body.united(tip), 2)), White);
    Body(t.map(body), 0xfff2a516, 0xff9a5a00, 0.9);
    Body(t.map(RoundRect(Box(9, -3, 4, 6), 0.8)), 0xffe88f9a, 0xff9a3e49, 0.9);
    Body(t.map(tip), 0xfff2d3a0, 0xff9a5a00, 0.9);
    Flat(t.map(lead), 0xff333333);
}

// Fit To Window: the sound spread out to the window's edges
void TGlyphArtist::FitToWindow(int) {
    Body(RoundRect(Box(1.5, 5.5, 29, 21), 2), 0xfff4f8fc, 0xff5d7086);
    Flat(EnvelopeArea(Box(4, 9, 24, 14), [](double t) { return 0.3 + 0.7 * std::sin(Pi * t); }),
         0xffd4e6f8);
    Body(ArrowPath(QPolygonF({QPointF(3.5, 16), QPointF(28.5, 16)}), 2.6, 6, 9, true), Blue,
         0xff14508e, 0.8);
}

// Cut: scissors
void TGlyphArtist::Cut(int) {
    QPainterPath blades;
    blades.addPolygon(QPolygonF({QPointF(12, 21), QPointF(21.5, 1.5), QPointF(14.5, 21.5)}));
    blades.closeSubpath();
    blades.addPolygon(QPolygonF({QPointF(20, 21), QPointF(10.5, 1.5), QPointF(17.5, 21.5)}));
    blades.closeSubpath();
    Body(blades.simplified(), 0xffc9d3dc, 0xff4f5e6c, 0.9);
    QPainterPath rings;
    rings.addEllipse(QPointF(9.5, 25.5), 4.5, 4.5);
    rings.addEllipse(QPointF(22.5, 25.5), 4.5, 4.5);
    Body(Outline(rings, 2.6), Red, 0xff8e1512, 0.8);
    Flat(Circle(QPointF(16, 14.5), 1.3), Slate);
}

// Copy: two pages
void TGlyphArtist::Copy(int) {
    Page(Box(2.5, 1.5, 17, 21), 5);
    TextLines(5.5, 8.5, 9, 4);
    Page(Box(12.5, 9.5, 17, 21), 5);
    TextLines(15.5, 16.5, 11, 4);
}

// Paste: a clipboard and the page on it
void TGlyphArtist::Paste(int) {
    Body(RoundRect(Box(3.5, 4.5, 21, 25), 2), 0xffb8804a, 0xff6e4620);
    Body(RoundRect(Box(11.5, 12.5, 18, 18), 0.5), Paper, PaperEdge);
    TextLines(14.5, 17.5, 12, 4);
    Body(RoundRect(Box(8.5, 1.5, 11, 6), 1.5), Steel, 0xff4f5e6c);
}

// Delete: a cross over the sound
void TGlyphArtist::Delete(int) {
    Bars(Box(3, 4, 26, 24), Full);
    Body(Cross(QPointF(16, 16), 8.5, 4.2), Red, 0xff8e1512);
}

// Select All: the whole sound inside a selection
void TGlyphArtist::SelectAll(int) {
    Body(RoundRect(Box(3.5, 2.5, 25, 27), 1), 0xffd9ebfd, 0xff7ea8d4);
    Bars(Box(6, 5, 20, 22), [](double t) { return 0.5 + 0.5 * std::sin(Pi * t); });
    QPainterPath marks;
    for (double x : {3.5, 28.5}) {
        marks.moveTo(x, 1.5);
        marks.lineTo(x, 30.5);
    }
    Line(marks, 0xff1c5fc0, 2, Qt::FlatCap);
    QPainterPath ticks;
    ticks.moveTo(1.5, 1.5);
    ticks.lineTo(6.5, 1.5);
    ticks.moveTo(1.5, 30.5);
    ticks.lineTo(6.5, 30.5);
    ticks.moveTo(25.5, 1.5);
    ticks.lineTo(30.5, 1.5);
    ticks.moveTo(25.5, 30.5);
    ticks.lineTo(30.5, 30.5);
    Line(ticks, 0xff1c5fc0, 2, Qt::FlatCap);
}

// Undo: a curved arrow back
void TGlyphArtist::Undo(int) {
    QPolygonF spine({QPointF(9, 27.5)});
    spine << Arc(QPointF(18.5, 18.25), 9.25, 90, -90);
    spine << QPointF(2.5, 9);
    Body(ArrowPath(spine, 4, 8, 12), Teal);
}

// Zoom In / Zoom Out
void TGlyphArtist::Zoom(int glyph) {
    Magnifier(glyph == 28);
}

// Level 0 to 7 of the playback volume
void TGlyphArtist::Level(int glyph) {
    VolumeLevel(glyph - 30);
}

// Close: a window with a cross
void TGlyphArtist::Close(int) {
    Body(RoundRect(Box(2.5, 3.5, 27, 25), 2), Paper, 0xff5d7086);
    Body(RoundRect(Box(2.5, 3.5, 27, 7), 2), Blue, 0xff14508e);
    Body(Cross(QPointF(16, 19.5), 5, 3.6), Red, 0xff8e1512);
}

// Revert: a page and a circular arrow
void TGlyphArtist::Revert(int) {
    Page(Box(3.5, 1.5, 19, 25), 6);
    TextLines(6.5, 8.5, 10, 3);
    QPointF c(21.5, 21);
    Flat(Circle(c, 9.5), WithAlpha(White, 235));
    Body(ArrowPath(Arc(c, 6.5, -60, 230), 2.8, 6, 8), Green);
}

// A pair of notes
void TGlyphArtist::Notes(int) {
    QPainterPath beam =
        Polygon({QPointF(11.5, 6), QPointF(27.5, 2), QPointF(27.5, 6.5), QPointF(11.5, 10.5)});
    Body(beam, Slate);
    Note(QPointF(8, 24), 1.15, Slate, false);
    Note(QPointF(24, 20), 1.15, Slate, false);
}

// Playback Volume: a loudspeaker and its sound
void TGlyphArtist::PlaybackVolume(int) {
    Loudspeaker(Box(1.5, 4.5, 9, 13));
    QPainterPath arcs;
    for (double r : {4.0, 7.5}) {
        QPolygonF a = Arc(QPointF(9.5, 11), r, -45, 45);
        arcs.addPolygon(a);
    }
    Line(arcs, Blue, 1.7);
}

// Recording Meter: a microphone
void TGlyphArtist::RecordingMeter(int) {
    QPainterPath stand;
    stand.addPolygon(Arc(QPointF(11, 9), 6.5, 0, 180));
    stand.moveTo(11, 15.5);
    stand.lineTo(11, 19);
    stand.moveTo(7, 20);
    stand.lineTo(15, 20);
    Line(stand, Slate, 1.8);
    Body(RoundRect(Box(7.5, 1.5, 7, 12), 3.5), 0xff5f6f83, 0xff222b36);
    QPainterPath grille;
    for (double y : {4.5, 7.0, 9.5}) {
        grille.moveTo(9, y);
        grille.lineTo(13, y);
    }
    Line(grille, 0xffc3ced8, 1);
    Flat(Circle(QPointF(11, 11.8), 0.9), Red);
}

// taller channels, Zoom In
void TGlyphArtist::Taller(int) {
    Body(Plus(QPointF(10, 10), 7, 4.2), Blue, 0xff14508e);
}

// shorter channels, Zoom Out
void TGlyphArtist::Shorter(int) {
    Body(Plus(QPointF(10, 10), 7, 4.2, false), Blue, 0xff14508e);
}

// Fit To Window: arrows out to two edges
void TGlyphArtist::FitEdges(int) {
    Line(Segments({{{2, 3.5}, {2, 16.5}}, {{18, 3.5}, {18, 16.5}}}), Slate, 2, Qt::FlatCap);
    Body(ArrowPath(QPolygonF({QPointF(3.5, 10), QPointF(16.5, 10)}), 2.2, 4.5, 7.5, true), Blue,
         0xff14508e, 0.8);
}

// Normalize: the sound raised until its loudest peaks meet two lines
void TGlyphArtist::Normalize(int) {
    Bars(Box(3, 6.5, 26, 19), [](double t) { return 0.45 + 0.55 * std::sin(Pi * t); });
    Line(Segments({{{1.5, 4.5}, {30.5, 4.5}}, {{1.5, 27.5}, {30.5, 27.5}}}), Orange, 2,
         Qt::FlatCap);
}

// Each glyph's drawing, by the glyph numbers it draws.
const TGlyphArtist::TDrawing TGlyphArtist::Drawings[] = {
    {0, 0, &TGlyphArtist::AddTrack},
    {1, 1, &TGlyphArtist::DeleteTrack},
    {2, 2, &TGlyphArtist::MixTracks},
    {3, 3, &TGlyphArtist::Echo},
    {4, 4, &TGlyphArtist::Backwards},
    {5, 5, &TGlyphArtist::Amplify},
    {6, 6, &TGlyphArtist::Silence},
    {7, 8, &TGlyphArtist::Fade},
    {9, 9, &TGlyphArtist::Pitch},
    {10, 10, &TGlyphArtist::Vibro},
    {11, 11, &TGlyphArtist::Record},
    {12, 12, &TGlyphArtist::Stop},
    {13, 13, &TGlyphArtist::Play},
    {14, 14, &TGlyphArtist::Pause},
    {15, 15, &TGlyphArtist::Print},
    {16, 16, &TGlyphArtist::Open},
    {17, 17, &TGlyphArtist::New},
    {18, 18, &TGlyphArtist::Exit},
    {19, 19, &TGlyphArtist::Save},
    {20, 20, &TGlyphArtist::SaveAs},
    {21, 21, &TGlyphArtist::FitToWindow},
    {22, 22, &TGlyphArtist::Cut},
    {23, 23, &TGlyphArtist::Copy},
    {24, 24, &TGlyphArtist::Paste},
    {25, 25, &TGlyphArtist::Delete},
    {26, 26, &TGlyphArtist::SelectAll},
    {27, 27, &TGlyphArtist::Undo},
    {28, 29, &TGlyphArtist::Zoom},
    {30, 37, &TGlyphArtist::Level},
    {38, 38, &TGlyphArtist::Close},
    {39, 39, &TGlyphArtist::Revert},
    {40, 40, &TGlyphArtist::Notes},
    {41, 41, &TGlyphArtist::PlaybackVolume},
    {42, 42, &TGlyphArtist::RecordingMeter},
    {43, 43, &TGlyphArtist::Taller},
    {44, 44, &TGlyphArtist::Shorter},
    {45, 45, &TGlyphArtist::FitEdges},
    {46, 46, &TGlyphArtist::Normalize},
};

void TGlyphArtist::Draw(int glyph) {
    P.setRenderHint(QPainter::Antialiasing);
    for (const TDrawing& d : Drawings)
        if (glyph >= d.First && glyph <= d.Last) {
            (this->*d.Paint)(glyph);
            return;
        }
}

// The program's icon as data/icons/brimvale.svg draws it (on a 256 grid),
// for the splash.
void PaintIconTile(QPainter& p, const QRectF& target) {
    p.save();
    p.translate(target.topLeft());
    p.scale(target.width() / 256, target.height() / 256);
    QPainterPath tile = RoundRect(Box(16, 16, 224, 224), 48);
    QLinearGradient blue(0, 16, 0, 240);
    blue.setColorAt(0, QColor(0x3d5fdc));
    blue.setColorAt(1, QColor(0x18215e));
    p.fillPath(tile, blue);
    QPainterPath gloss;
    gloss.moveTo(16, 64);
    gloss.arcTo(Box(16, 16, 96, 96), 180, -90);
    gloss.lineTo(192, 16);
    gloss.arcTo(Box(144, 16, 96, 96), 90, -90);
    gloss.lineTo(240, 108);
    gloss.cubicTo(176, 128, 80, 96, 16, 122);
    gloss.closeSubpath();
    QLinearGradient shine(0, 16, 0, 124);
    shine.setColorAt(0, QColor(255, 255, 255, 56));
    shine.setColorAt(1, QColor(255, 255, 255, 5));
    p.fillPath(gloss, shine);
    p.fillRect(Box(100, 34, 68, 188), QColor(255, 255, 255, 41));
    p.setPen(QPen(QColor(255, 255, 255, 166), 3, Qt::SolidLine, Qt::FlatCap));
    p.drawLine(QPointF(100, 34), QPointF(100, 222));
    p.drawLine(QPointF(168, 34), QPointF(168, 222));
    QLinearGradient warm(0, 42, 0, 214);
    warm.setColorAt(0, QColor(0xff9a1a));
    warm.setColorAt(0.5, QColor(0xfff4a3));
    warm.setColorAt(1, QColor(0xff9a1a));
    p.setPen(Qt::NoPen);
    p.setBrush(warm);
    static constexpr int Half[] = {12, 22, 38, 28, 54, 74, 50, 86, 64, 40, 58, 34, 22, 30, 12};
    for (int i = 0; i < 15; ++i)
        p.drawRoundedRect(Box(40 + 12 * i, 128 - Half[i], 8, 2 * Half[i]), 4, 4);
    p.setPen(QPen(QColor(12, 18, 56, 140), 2));
    p.setBrush(Qt::NoBrush);
    p.drawRoundedRect(Box(17, 17, 222, 222), 47, 47);
    p.restore();
}

QString GlyphKey(int glyph, bool enabled, int size, qreal dpr) {
    return QStringLiteral("bv-glyph:%1:%2:%3:%4").arg(glyph).arg(enabled).arg(size).arg(dpr);
}

} // namespace

int GlyphSize(int glyph) {
    if (glyph < 0 || glyph >= GlyphCount)
        return 0;
    if (glyph <= 40 || glyph > 45)
        return 32;
    return glyph <= 42 ? 22 : 20;
}

QRect GlyphRect(int glyph) {
    int size = GlyphSize(glyph);
    if (!size)
        return QRect();
    if (glyph <= 40)
        return QRect(glyph % 15 * 32, glyph / 15 * 64, size, size);
    if (glyph <= 42)
        return QRect(glyph * 32 - 960, 128, size, size);
    if (glyph <= 45)
        return QRect(glyph * 20 - 444, 128, size, size);
    return QRect((glyph - 46) % 15 * 32, 192 + (glyph - 46) / 15 * 64, size, size);
}

void PaintGlyph(QPainter& painter, int glyph, const QRectF& target, bool enabled) {
    int size = GlyphSize(glyph);
    if (!size || target.isEmpty())
        return;
    painter.save();
    painter.translate(target.topLeft());
    painter.scale(target.width() / size, target.height() / size);
    TGlyphArtist(painter, enabled).Draw(glyph);
    painter.restore();
}

QPixmap GlyphPixmap(int glyph, bool enabled, int logicalSize, qreal devicePixelRatio) {
    if (!GlyphSize(glyph) || logicalSize < 1 || devicePixelRatio <= 0)
        return QPixmap();
    QString key = GlyphKey(glyph, enabled, logicalSize, devicePixelRatio);
    QPixmap pixmap;
    if (QPixmapCache::find(key, &pixmap))
        return pixmap;
    int pixels = std::max(1, int(std::lround(logicalSize * devicePixelRatio)));
    QImage image(pixels, pixels, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    {
        QPainter painter(&image);
        PaintGlyph(painter, glyph, QRectF(0, 0, pixels, pixels), enabled);
    }
    pixmap = QPixmap::fromImage(image);
    pixmap.setDevicePixelRatio(devicePixelRatio);
    QPixmapCache::insert(key, pixmap);
    return pixmap;
}

QPixmap GlyphSheet(qreal devicePixelRatio) {
    if (devicePixelRatio <= 0)
        devicePixelRatio = 1;
    // Built in device pixels from the glyphs' own images, so each glyph on
    // the sheet is exactly what GlyphPixmap gives.
    auto device = [devicePixelRatio](int v) { return int(std::lround(v * devicePixelRatio)); };
    QImage sheet(device(GlyphSheetWidth), device(GlyphSheetHeight),
                 QImage::Format_ARGB32_Premultiplied);
    sheet.fill(Qt::transparent);
    {
        QPainter painter(&sheet);
        painter.setCompositionMode(QPainter::CompositionMode_Source);
        for (int glyph = 0; glyph < GlyphCount; ++glyph) {
            QRect r = GlyphRect(glyph);
            for (bool enabled : {true, false}) {
                QImage image = GlyphPixmap(glyph, enabled, r.width(), devicePixelRatio).toImage();
                image.setDevicePixelRatio(1);
                int y = enabled ? r.y() : r.y() + r.height();
                painter.drawImage(QPoint(device(r.x()), device(y)), image);
            }
        }
    }
    QPixmap pixmap = QPixmap::fromImage(sheet);
    pixmap.setDevicePixelRatio(devicePixelRatio);
    return pixmap;
}

QPixmap SplashImage(qreal devicePixelRatio) {
    if (devicePixelRatio <= 0)
        devicePixelRatio = 1;
    const QSizeF size(474, 286);
    QImage image((size * devicePixelRatio).toSize(), QImage::Format_ARGB32_Premultiplied);
    image.setDevicePixelRatio(devicePixelRatio);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    p.setRenderHint(QPainter::TextAntialiasing);

    // A night-blue ground with a soft glow behind the name.
    QLinearGradient ground(0, 0, 0, size.height());
    ground.setColorAt(0, QColor(0x1d2c78));
    ground.setColorAt(1, QColor(0x0a1033));
    p.fillRect(QRectF(QPointF(0, 0), size), ground);
    QRadialGradient glow(QPointF(300, 40), 260);
    glow.setColorAt(0, QColor(110, 150, 255, 90));
    glow.setColorAt(1, QColor(110, 150, 255, 0));
    p.fillRect(QRectF(QPointF(0, 0), size), glow);

    // Faint grid lines, as in the document view.
    p.setPen(QPen(QColor(255, 255, 255, 14), 1));
    for (double y = 150.5; y < size.height(); y += 22)
        p.drawLine(QPointF(0, y), QPointF(size.width(), y));

    // A long sound with a selection across its middle.
    const double mid = 210, left = 19, pitch = 8, width = 5;
    QRectF band(196, 140, 112, 140);
    p.fillRect(band, QColor(255, 255, 255, 36));
    p.setPen(QPen(QColor(255, 255, 255, 150), 1.5));
    p.drawLine(band.topLeft(), band.bottomLeft());
    p.drawLine(band.topRight(), band.bottomRight());
    QLinearGradient warm(0, mid - 66, 0, mid + 66);
    warm.setColorAt(0, QColor(0xff9a1a));
    warm.setColorAt(0.5, QColor(0xfff4a3));
    warm.setColorAt(1, QColor(0xff9a1a));
    p.setPen(Qt::NoPen);
    p.setBrush(warm);
    for (int i = 0; left + i * pitch + width <= size.width() - 18; ++i) {
        // Four struck notes, each dying away, with a ripple on top.
        double t = i * pitch / size.width(), level = 0;
        for (auto [start, gain] : {std::pair{0.02, 0.7}, {0.27, 1.0}, {0.5, 0.8}, {0.74, 0.9}})
            if (t >= start)
                level = std::max(level, gain * std::exp(-(t - start) * 7));
        double ripple = 0.78 + 0.14 * std::sin(i * 1.9) + 0.08 * std::sin(i * 0.73 + 1);
        double h = std::max(4.0, 132 * (0.08 + 0.92 * level) * ripple);
        p.drawRoundedRect(QRectF(left + i * pitch, mid - h / 2, width, h), width / 2, width / 2);
    }

    PaintIconTile(p, QRectF(26, 24, 92, 92));

    // The name and the version.
    QFont name;
    name.setFamilies({QStringLiteral("DejaVu Sans"), QStringLiteral("Sans Serif")});
    name.setPixelSize(52);
    name.setBold(true);
    QPainterPath title;
    title.addText(QPointF(134, 84), name, QStringLiteral("Brimvale"));
    QLinearGradient ink(0, 40, 0, 86);
    ink.setColorAt(0, QColor(0xffffff));
    ink.setColorAt(1, QColor(0xc9d8ff));
    p.setBrush(QColor(0, 0, 20, 90));
    p.drawPath(title.translated(1.5, 2));
    p.setBrush(ink);
    p.drawPath(title);

    QFont version = name;
    version.setPixelSize(17);
    version.setBold(false);
    p.setFont(version);
    p.setPen(QColor(0xa9c2ff));
    p.drawText(QPointF(137, 112), QCoreApplication::translate("About", "Version 1.0, Alpha"));

    p.setPen(QPen(QColor(0x060a24), 1));
    p.setBrush(Qt::NoBrush);
    p.drawRect(QRectF(0.5, 0.5, size.width() - 1, size.height() - 1));
    p.end();
    return QPixmap::fromImage(image);
}

QIcon AppIcon() {
    InitArtworkResources();
    QIcon icon;
    for (int size : {48, 256})
        icon.addFile(QStringLiteral(":/icons/%1/brimvale.png").arg(size), QSize(size, size));
    return icon;
}

} // namespace NSArt
