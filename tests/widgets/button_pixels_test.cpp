// The painter through the QPainter canvas onto an image: band colours, window region and icons
// as pixels.
#include "QtTestApp.h"
#include "imaging/cPNGparser.h"
#include "support/TempDir.h"
#include "widgets/ButtonPainter.h"
#include "widgets/Themes.h"
#include "widgets/qt/QtCanvas.h"

#include <QImage>
#include <QPainter>
#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>

namespace zr::widgets {
namespace {

Colour pixel(const QImage& image, int x, int y) {
    const QColor c = image.pixelColor(x, y);
    return rgb(c.red(), c.green(), c.blue());
}

int alphaAt(const QImage& image, int x, int y) {
    return image.pixelColor(x, y).alpha();
}

QImage paint(const ButtonProperties& p, const ButtonState& s, IconLoader* icons = nullptr,
             int width = 100, int height = 30) {
    test::application();
    QImage image(width, height, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainter painter(&image);
    QtCanvas canvas(painter, width, height);
    PaintButton(canvas, width, height, p, s, icons);
    painter.end();
    return image;
}

ButtonProperties theme3() {
    ButtonProperties p;
    p.Theme = 3;
    p.Caption = "";
    return p;
}

// Which bands each look picks is button_painter_test's; here the canvas draws them.
TEST(ButtonPixels, Theme3HoverBandsBorderAndInnerLine) {
    ButtonProperties p = theme3();
    p.FocusDottedRect = false;
    const QImage image = paint(p, {false, true, false});
    // Upper band rows 3 .. 13, lower band rows 14 .. 25 on a 30-pixel-high button.
    EXPECT_EQ(pixel(image, 20, 3), rgb(245, 249, 252));
    EXPECT_EQ(pixel(image, 20, 13), rgb(122, 183, 222));
    EXPECT_EQ(pixel(image, 20, 14), rgb(78, 153, 200));
    EXPECT_EQ(pixel(image, 20, 25), rgb(162, 217, 252));
    EXPECT_EQ(pixel(image, 50, 0), rgb(161, 189, 207));
    EXPECT_EQ(pixel(image, 50, 1), kWhite);
    EXPECT_EQ(pixel(image, 3, 3), kWhite);
}

TEST(ButtonPixels, CornersOutsideTheRegionStayUntouched) {
    ButtonProperties p = theme3();
    const QImage rounded = paint(p, {});
    EXPECT_EQ(alphaAt(rounded, 0, 0), 0);
    EXPECT_EQ(alphaAt(rounded, 99, 29), 0);
    EXPECT_EQ(alphaAt(rounded, 50, 15), 255);
    p.RoundedValue = 0;
    const QImage square = paint(p, {});
    EXPECT_EQ(alphaAt(square, 0, 0), 255);
    EXPECT_EQ(pixel(square, 0, 0), rgb(161, 189, 207));
}

TEST(ButtonPixels, Theme4HoverBandsAreFourCornerRowsInTheirOwnColours) {
    ButtonProperties p;
    p.Theme = 4;
    p.Caption = "";
    const QImage image = paint(p, {false, true, false});
    // Upper band from (1, 1), lower band from (1, 10) on 100 × 30; bitmap rows keep blue,
    // green, red apart.
    EXPECT_EQ(pixel(image, 3, 1), rgb(255, 253, 228));
    EXPECT_EQ(pixel(image, 3, 10), rgb(255, 213, 70));
    EXPECT_EQ(pixel(image, 50, 0), rgb(216, 201, 149));
}

using zr::testing::TempDir;

// An opaque square PNG of one colour.
void writePng(const std::string& fileName, int size, Colour colour) {
    imaging::c32bppDIB dib;
    ASSERT_TRUE(dib.InitializeDIB(size, size));
    auto bits = dib.Bits();
    for (std::size_t i = 0; i < bits.size(); i += 4) {
        bits[i] = static_cast<std::uint8_t>(blueOf(colour));
        bits[i + 1] = static_cast<std::uint8_t>(greenOf(colour));
        bits[i + 2] = static_cast<std::uint8_t>(redOf(colour));
        bits[i + 3] = 255;
    }
    dib.SetAlpha(true);
    ASSERT_TRUE(imaging::cPNGparser().SaveTo(dib, fileName));
}

TEST(ButtonIcons, FileIconDrawsAtAlignmentTwoAndBlendsByTransparency) {
    TempDir dir;
    const std::string file = dir.file("red16.png");
    writePng(file, 16, rgb(255, 0, 0));
    IconCache icons;
    ButtonProperties p = theme3();
    p.Icon = true;
    p.IconSource = file;
    p.IconAlignment = 2;
    const QImage opaque = paint(p, {}, &icons);
    EXPECT_EQ(pixel(opaque, 79, 7), rgb(255, 0, 0));
    EXPECT_EQ(pixel(opaque, 94, 22), rgb(255, 0, 0));
    EXPECT_NE(pixel(opaque, 78, 7), rgb(255, 0, 0));
    EXPECT_NE(pixel(opaque, 79, 6), rgb(255, 0, 0));

    p.TransparencyICO = 50;
    const QImage half = paint(p, {}, &icons);
    const QImage plain = paint(theme3(), {});
    const int plainRed = redOf(pixel(plain, 85, 20));
    const int plainBlue = blueOf(pixel(plain, 85, 20));
    // Opacity 50 is the constant alpha 128: red 128 over 127/255 of what lay beneath.
    EXPECT_NEAR(redOf(pixel(half, 85, 20)), 128 + plainRed * 127.0 / 255, 1);
    EXPECT_NEAR(blueOf(pixel(half, 85, 20)), plainBlue * 127.0 / 255, 1);
    EXPECT_EQ(icons.decodeCount(), 1U);
}

// A 200 × 200 icon, left half red, right half blue, on a 100 × 30 button: scaled once at load to
// fit 100 × 100 (at its own size the blue half would start off the button, at x = 105).
TEST(ButtonIcons, AnIconLargerThanItsPlaceIsScaledOnceWhenLoaded) {
    TempDir dir;
    const std::string file = dir.file("big.png");
    imaging::c32bppDIB dib;
    ASSERT_TRUE(dib.InitializeDIB(200, 200));
    auto bits = dib.Bits();
    for (std::size_t i = 0; i < bits.size(); i += 4) {
        const bool left = i / 4 % 200 < 100;
        bits[i] = left ? 0 : 255;
        bits[i + 2] = left ? 255 : 0;
        bits[i + 3] = 255;
    }
    ASSERT_TRUE(imaging::cPNGparser().SaveTo(dib, file));
    IconCache icons;
    ButtonProperties p = theme3();
    p.Icon = true;
    p.IconSource = file;
    p.IconAlignment = 1;
    for (const ButtonState s : {ButtonState{}, ButtonState{false, true, false}}) {
        const QImage painted = paint(p, s, &icons);
        EXPECT_EQ(pixel(painted, 30, 15), rgb(255, 0, 0));
        EXPECT_EQ(pixel(painted, 80, 15), rgb(0, 0, 255));
    }
    EXPECT_EQ(icons.decodeCount(), 1U);
}

TEST(ButtonIcons, DecodedImageIsReusedUntilTheFileChanges) {
    TempDir dir;
    const std::string file = dir.file("icon.png");
    writePng(file, 16, rgb(0, 0, 255));
    IconCache icons;
    ButtonProperties p = theme3();
    p.Icon = true;
    p.IconSource = file;
    p.IconAlignment = 1;
    for (const ButtonState s : {ButtonState{}, ButtonState{false, true, false},
                                ButtonState{false, true, true}, ButtonState{}}) {
        EXPECT_EQ(pixel(paint(p, s, &icons), 5, 7), rgb(0, 0, 255));
    }
    EXPECT_EQ(icons.decodeCount(), 1U);

    writePng(file, 18, rgb(0, 255, 0)); // a different size on disk
    const QImage changed = paint(p, {}, &icons);
    EXPECT_EQ(pixel(changed, 5, 6), rgb(0, 255, 0));
    EXPECT_EQ(icons.decodeCount(), 2U);

    // A corrupt file and a missing one draw no icon and leave everything else as it was.
    const QImage plain = paint(theme3(), {});
    {
        std::ofstream corrupt(file, std::ios::binary | std::ios::trunc);
        const char signature[] = "\x89PNG\r\n\x1a\n";
        corrupt.write(signature, 8);
        corrupt << std::string(120, 'x');
    }
    EXPECT_EQ(paint(p, {}, &icons), plain);
    EXPECT_EQ(paint(p, {}, &icons), plain);
    EXPECT_EQ(icons.decodeCount(), 3U);
    std::filesystem::remove(file);
    EXPECT_EQ(paint(p, {}, &icons), plain);
}

} // namespace
} // namespace zr::widgets
