// The painter through the QPainter canvas onto an image: the theme-4 bands as pixels.
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

} // namespace
} // namespace zr::widgets
