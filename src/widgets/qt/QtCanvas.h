#pragma once

#include "widgets/Canvas.h"

#include <QFont>
#include <QPainter>
#include <QRegion>

namespace zr::widgets {

QFont toQFont(const ButtonFont& font);
ButtonFont fromQFont(const QFont& font);
QRegion toQRegion(const WindowRegion& region);

// The drawing operations on a QPainter (a widget or an image), pixel-exact: no antialiasing,
// gradients computed row by row with gradientColour.
class QtCanvas final : public Canvas {
  public:
    // The control's surface is width × height pixels from the painter's origin.
    QtCanvas(QPainter& painter, int width, int height);

    void setRegion(const WindowRegion& region) override;
    void clear(Colour colour) override;
    void fillGradient(const Rect& rect, Colour from, Colour to,
                      GradientDirection direction) override;
    void roundRectOutline(const Rect& rect, int cornerWidth, int cornerHeight, Colour pen) override;
    void point(int x, int y, Colour colour) override;
    void line(int x1, int y1, int x2, int y2, Colour pen) override;
    void text(int x, int y, std::string_view text, const ButtonFont& font, Colour colour) override;
    TextExtent textExtent(std::string_view text, const ButtonFont& font) override;
    void bitmapRow(int x, int y, std::span<const std::uint8_t> bgr) override;
    void image(int x, int y, const imaging::PixelSurface& pixels) override;

  private:
    QPainter& painter_;
    int width_;
    int height_;
};

} // namespace zr::widgets
