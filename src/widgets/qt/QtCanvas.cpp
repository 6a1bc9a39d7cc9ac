#include "widgets/qt/QtCanvas.h"

#include "imaging/PixelSurface.h"

#include <QFontMetrics>
#include <QImage>
#include <cstdlib>

namespace zr::widgets {

namespace {

QColor toQColor(Colour colour) {
    return {redOf(colour), greenOf(colour), blueOf(colour)};
}

QString toQString(std::string_view text) {
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

} // namespace

QFont toQFont(const ButtonFont& font) {
    QFont result(QString::fromStdString(font.name));
    if (font.size > 0.0) {
        result.setPointSizeF(font.size);
    }
    result.setBold(font.bold);
    result.setItalic(font.italic);
    result.setUnderline(font.underline);
    result.setStrikeOut(font.strikethrough);
    return result;
}

ButtonFont fromQFont(const QFont& font) {
    ButtonFont result;
    result.name = font.family().toStdString();
    result.size = font.pointSizeF() > 0 ? font.pointSizeF() : result.size;
    result.bold = font.bold();
    result.italic = font.italic();
    result.underline = font.underline();
    result.strikethrough = font.strikeOut();
    return result;
}

QRegion toQRegion(const WindowRegion& region) {
    QRegion result;
    for (int y = 0; y < region.height; ++y) {
        const int inset = region.inset[static_cast<std::size_t>(y)];
        const int width = region.width - 2 * inset;
        if (width > 0) {
            result += QRect(inset, y, width, 1);
        }
    }
    return result;
}

QtCanvas::QtCanvas(QPainter& painter, int width, int height)
    : painter_(painter), width_(width), height_(height) {
    painter_.setRenderHint(QPainter::Antialiasing, false);
    painter_.setBrush(Qt::NoBrush);
}

void QtCanvas::setRegion(const WindowRegion& region) {
    painter_.setClipRegion(toQRegion(region));
}

void QtCanvas::clear(Colour colour) {
    painter_.fillRect(QRect(0, 0, width_, height_), toQColor(colour));
}

void QtCanvas::fillGradient(const Rect& rect, Colour from, Colour to, GradientDirection direction) {
    const int width = rect.right - rect.left;
    const int height = rect.bottom - rect.top;
    if (width <= 0 || height <= 0) {
        return;
    }
    if (direction == GradientDirection::Vertical) {
        for (int y = 0; y < height; ++y) {
            painter_.fillRect(QRect(rect.left, rect.top + y, width, 1),
                              toQColor(gradientColour(from, to, y, height)));
        }
        return;
    }
    for (int x = 0; x < width; ++x) {
        painter_.fillRect(QRect(rect.left + x, rect.top, 1, height),
                          toQColor(gradientColour(from, to, x, width)));
    }
}

void QtCanvas::roundRectOutline(const Rect& rect, int cornerWidth, int cornerHeight, Colour pen) {
    const int width = rect.right - rect.left - 1;
    const int height = rect.bottom - rect.top - 1;
    if (width < 0 || height < 0) {
        return;
    }
    painter_.setPen(QPen(toQColor(pen), 0));
    painter_.setBrush(Qt::NoBrush);
    const QRect outline(rect.left, rect.top, width, height);
    if (cornerWidth <= 1 || cornerHeight <= 1) {
        painter_.drawRect(outline);
        return;
    }
    painter_.drawRoundedRect(outline, cornerWidth / 2.0, cornerHeight / 2.0, Qt::AbsoluteSize);
}

void QtCanvas::point(int x, int y, Colour colour) {
    painter_.fillRect(QRect(x, y, 1, 1), toQColor(colour));
}

void QtCanvas::line(int x1, int y1, int x2, int y2, Colour pen) {
    // Stepped by hand so the end point is left out exactly as the callers expect.
    const int dx = std::abs(x2 - x1);
    const int dy = -std::abs(y2 - y1);
    const int stepX = x1 < x2 ? 1 : -1;
    const int stepY = y1 < y2 ? 1 : -1;
    int error = dx + dy;
    int x = x1;
    int y = y1;
    while (x != x2 || y != y2) {
        point(x, y, pen);
        const int twice = 2 * error;
        if (twice >= dy) {
            error += dy;
            x += stepX;
        }
        if (twice <= dx) {
            error += dx;
            y += stepY;
        }
    }
}

void QtCanvas::text(int x, int y, std::string_view text, const ButtonFont& font, Colour colour) {
    const QFont qfont = toQFont(font);
    painter_.setFont(qfont);
    painter_.setPen(toQColor(colour));
    painter_.drawText(x, y + QFontMetrics(qfont).ascent(), toQString(text));
}

TextExtent QtCanvas::textExtent(std::string_view text, const ButtonFont& font) {
    const QFontMetrics metrics(toQFont(font));
    return {metrics.horizontalAdvance(toQString(text)), metrics.height()};
}

void QtCanvas::bitmapRow(int x, int y, std::span<const std::uint8_t> bgr) {
    const auto width = static_cast<int>(bgr.size() / 3);
    if (width == 0) {
        return;
    }
    const QImage row(bgr.data(), width, 1, static_cast<qsizetype>(bgr.size()),
                     QImage::Format_BGR888);
    painter_.drawImage(x, y, row);
}

void QtCanvas::image(int x, int y, const imaging::PixelSurface& pixels) {
    if (pixels.isEmpty()) {
        return;
    }
    const QImage layer(pixels.bytes().data(), pixels.width(), pixels.height(),
                       static_cast<qsizetype>(pixels.stride()),
                       QImage::Format_ARGB32_Premultiplied);
    painter_.setCompositionMode(QPainter::CompositionMode_SourceOver);
    painter_.drawImage(x, y, layer);
}

} // namespace zr::widgets
