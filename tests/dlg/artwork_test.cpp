// The glyph sheet, the splash and the icon: the layout the tool buttons and
// menus rely on, and images that are really there, greyed when disabled, and
// the same wherever they are taken from.

#include <gtest/gtest.h>

#include <QColor>
#include <QImage>
#include <QPainter>
#include <QSet>

#include <cmath>

#include "dlg/artwork.h"

using namespace NSArt;

namespace {

QImage Pixels(const QPixmap& pixmap) {
    QImage image = pixmap.toImage().convertToFormat(QImage::Format_ARGB32);
    image.setDevicePixelRatio(1);
    return image;
}

struct TLook {
    int Opaque = 0;        // pixels at least half covered
    double Saturation = 0; // mean over those pixels, 0..1
    double Contrast = 0;   // spread of their lightness, 0..255
};

TLook Look(const QImage& image) {
    TLook look;
    double sum = 0, sumSq = 0;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x) {
            QRgb px = image.pixel(x, y);
            if (qAlpha(px) < 128)
                continue;
            ++look.Opaque;
            look.Saturation += QColor::fromRgba(px).hsvSaturationF();
            double l = qGray(px);
            sum += l;
            sumSq += l * l;
        }
    if (look.Opaque) {
        look.Saturation /= look.Opaque;
        double mean = sum / look.Opaque;
        look.Contrast = std::sqrt(std::max(0.0, sumSq / look.Opaque - mean * mean));
    }
    return look;
}

} // namespace

TEST(Artwork, GlyphGeometry) {
    // Rows of fifteen 32-pixel glyphs, 64 pixels apart; then the two
    // 22-pixel and the three 20-pixel glyphs on the last row.
    for (int g = 0; g <= 40; ++g) {
        EXPECT_EQ(GlyphSize(g), 32) << g;
        EXPECT_EQ(GlyphRect(g), QRect(g % 15 * 32, g / 15 * 64, 32, 32)) << g;
    }
    const struct {
        int Glyph;
        QRect Rect;
    } small[] = {{41, {352, 128, 22, 22}},
                 {42, {384, 128, 22, 22}},
                 {43, {416, 128, 20, 20}},
                 {44, {436, 128, 20, 20}},
                 {45, {456, 128, 20, 20}}};
    for (const auto& s : small) {
        EXPECT_EQ(GlyphSize(s.Glyph), s.Rect.width()) << s.Glyph;
        EXPECT_EQ(GlyphRect(s.Glyph), s.Rect) << s.Glyph;
    }
    for (int g : {-100, -1, GlyphCount, GlyphCount + 1, 1000}) {
        EXPECT_EQ(GlyphSize(g), 0) << g;
        EXPECT_TRUE(GlyphRect(g).isNull()) << g;
        EXPECT_TRUE(GlyphPixmap(g, true, 32).isNull()) << g;
    }
    // Enabled and disabled images all lie on the sheet and never overlap.
    QImage used(GlyphSheetWidth, GlyphSheetHeight, QImage::Format_Grayscale8);
    used.fill(0);
    for (int g = 0; g < GlyphCount; ++g)
        for (QRect r : {GlyphRect(g), GlyphRect(g).translated(0, GlyphSize(g))}) {
            ASSERT_TRUE(QRect(0, 0, GlyphSheetWidth, GlyphSheetHeight).contains(r)) << g;
            for (int y = r.top(); y <= r.bottom(); ++y)
                for (int x = r.left(); x <= r.right(); ++x) {
                    ASSERT_EQ(qGray(used.pixel(x, y)), 0)
                        << "glyph " << g << " at " << x << "," << y;
                    used.setPixel(x, y, qRgb(255, 255, 255));
                }
        }
}

TEST(Artwork, EveryGlyphHasItsOwnPictureAndAGreyedImage) {
    QSet<QByteArray> pictures;
    for (int g = 0; g < GlyphCount; ++g) {
        for (int size : {GlyphSize(g), 20}) {
            SCOPED_TRACE(testing::Message() << "glyph " << g << " at " << size);
            QImage on = Pixels(GlyphPixmap(g, true, size));
            QImage off = Pixels(GlyphPixmap(g, false, size));
            ASSERT_EQ(on.size(), QSize(size, size));
            ASSERT_EQ(off.size(), QSize(size, size));
            TLook lookOn = Look(on), lookOff = Look(off);
            // Something is drawn, and it is not a blot covering the button.
            EXPECT_GT(lookOn.Opaque, size * size / 12);
            EXPECT_LT(lookOn.Opaque, size * size * 95 / 100);
            EXPECT_GT(lookOff.Opaque, size * size / 12);
            EXPECT_NE(on, off);
            EXPECT_LT(lookOff.Saturation, lookOn.Saturation);
            EXPECT_LT(lookOff.Contrast, lookOn.Contrast);
        }
        QImage picture = Pixels(GlyphPixmap(g, true, GlyphSize(g)));
        QByteArray bytes(reinterpret_cast<const char*>(picture.constBits()), picture.sizeInBytes());
        EXPECT_FALSE(pictures.contains(bytes)) << "glyph " << g << " repeats an earlier one";
        pictures.insert(bytes);
    }
}

TEST(Artwork, SheetHoldsEachGlyphImageInItsPlace) {
    for (qreal dpr : {1.0, 2.0}) {
        SCOPED_TRACE(testing::Message() << "device pixel ratio " << dpr);
        QPixmap sheet = GlyphSheet(dpr);
        EXPECT_EQ(sheet.size(), QSize(GlyphSheetWidth, GlyphSheetHeight) * dpr);
        EXPECT_EQ(sheet.devicePixelRatio(), dpr);
        QImage pixels = Pixels(sheet);
        QImage covered(pixels.size(), QImage::Format_Grayscale8);
        covered.fill(0);
        for (int g = 0; g < GlyphCount; ++g)
            for (bool enabled : {true, false}) {
                QRect r = GlyphRect(g);
                if (!enabled)
                    r.translate(0, r.height());
                QRect device(r.topLeft() * dpr, r.size() * dpr);
                QImage image = Pixels(GlyphPixmap(g, enabled, r.width(), dpr));
                ASSERT_EQ(image.size(), device.size());
                EXPECT_EQ(pixels.copy(device), image) << "glyph " << g << " enabled " << enabled;
                for (int y = device.top(); y <= device.bottom(); ++y)
                    for (int x = device.left(); x <= device.right(); ++x)
                        covered.setPixel(x, y, qRgb(255, 255, 255));
            }
        // Outside the glyphs the sheet is transparent.
        for (int y = 0; y < pixels.height(); ++y)
            for (int x = 0; x < pixels.width(); ++x) {
                if (!qGray(covered.pixel(x, y))) {
                    ASSERT_EQ(qAlpha(pixels.pixel(x, y)), 0) << x << "," << y;
                }
            }
    }
}

TEST(Artwork, GlyphsScaleToTheirTargetAndAreCached) {
    // Painted anywhere at any scale, a glyph is its own image at that size;
    // a scaled painter gives the same picture as a higher pixel ratio.
    for (int g : {0, 13, 28, 41, 45}) {
        QImage canvas(90, 90, QImage::Format_ARGB32_Premultiplied);
        canvas.fill(Qt::transparent);
        {
            QPainter painter(&canvas);
            PaintGlyph(painter, g, QRectF(13, 21, 48, 48), true);
            PaintGlyph(painter, -1, QRectF(0, 0, 90, 90), true);
            PaintGlyph(painter, GlyphCount, QRectF(0, 0, 90, 90), false);
        }
        QImage placed = canvas.convertToFormat(QImage::Format_ARGB32);
        QImage alone = Pixels(GlyphPixmap(g, true, 24, 2.0));
        ASSERT_EQ(alone.size(), QSize(48, 48));
        int worst = 0;
        for (int y = 0; y < 90; ++y)
            for (int x = 0; x < 90; ++x) {
                QRgb want = QRect(13, 21, 48, 48).contains(x, y) ? alone.pixel(x - 13, y - 21) : 0;
                QRgb got = placed.pixel(x, y);
                for (int shift : {0, 8, 16, 24})
                    worst = std::max(
                        worst, std::abs(int((got >> shift) & 255) - int((want >> shift) & 255)));
            }
        EXPECT_LE(worst, 2) << "glyph " << g;
    }
    QPixmap first = GlyphPixmap(5, false, 32, 1.5);
    EXPECT_EQ(first.size(), QSize(48, 48));
    EXPECT_EQ(first.devicePixelRatio(), 1.5);
    EXPECT_EQ(GlyphPixmap(5, false, 32, 1.5).cacheKey(), first.cacheKey());
    EXPECT_NE(GlyphPixmap(5, true, 32, 1.5).cacheKey(), first.cacheKey());
    EXPECT_TRUE(GlyphPixmap(5, true, 0).isNull());
}

TEST(Artwork, SplashAndIcon) {
    for (qreal dpr : {1.0, 2.0}) {
        QPixmap splash = SplashImage(dpr);
        EXPECT_EQ(splash.size(), QSize(474, 286) * dpr);
        EXPECT_EQ(splash.deviceIndependentSize(), QSizeF(474, 286));
        QImage pixels = Pixels(splash);
        QSet<QRgb> colours;
        for (int y = 0; y < pixels.height(); y += 3)
            for (int x = 0; x < pixels.width(); x += 3) {
                ASSERT_EQ(qAlpha(pixels.pixel(x, y)), 255) << x << "," << y;
                colours.insert(pixels.pixel(x, y));
            }
        EXPECT_GT(colours.size(), 500);
    }

    QIcon icon = AppIcon();
    ASSERT_FALSE(icon.isNull());
    QList<QSize> sizes = icon.availableSizes();
    EXPECT_TRUE(sizes.contains(QSize(48, 48)));
    EXPECT_TRUE(sizes.contains(QSize(256, 256)));
    for (int size : {48, 256}) {
        QImage image =
            icon.pixmap(QSize(size, size)).toImage().convertToFormat(QImage::Format_ARGB32);
        ASSERT_EQ(image.size(), QSize(size, size));
        // A rounded tile: clear corners, a solid middle.
        EXPECT_EQ(qAlpha(image.pixel(1, 1)), 0);
        EXPECT_EQ(qAlpha(image.pixel(size / 2, size / 2)), 255);
        EXPECT_EQ(qAlpha(image.pixel(size / 4, size - size / 4)), 255);
    }
}
