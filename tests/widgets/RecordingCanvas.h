#pragma once

#include "imaging/PixelSurface.h"
#include "widgets/Canvas.h"

#include <string>
#include <vector>

namespace zr::widgets::test {

// Records every drawing call; text is measured as 8 × 12 pixels per character unless a
// fixed extent is set.
class RecordingCanvas final : public Canvas {
  public:
    enum class Kind { Region, Clear, Gradient, Outline, Point, Line, Text, Row, Image };
    struct Op {
        Kind kind = Kind::Region;
        Rect rect; // gradient, outline; line: (x1, y1, x2, y2); point / text / row / image: (x, y)
        Colour first = 0;  // colour, pen, gradient start
        Colour second = 0; // gradient end
        int corner = 0;    // outline corner width
        std::string text;
        int width = 0;  // row and image width
        int height = 0; // image height
    };

    void setRegion(const WindowRegion& r) override {
        region = r;
        record(Kind::Region, {0, 0, r.width, r.height});
    }
    void clear(Colour colour) override { record(Kind::Clear, {}, colour); }
    void fillGradient(const Rect& rect, Colour from, Colour to, GradientDirection) override {
        record(Kind::Gradient, rect, from, to);
    }
    void roundRectOutline(const Rect& rect, int cornerWidth, int, Colour pen) override {
        record(Kind::Outline, rect, pen).corner = cornerWidth;
    }
    void point(int x, int y, Colour colour) override { record(Kind::Point, {x, y, x, y}, colour); }
    void line(int x1, int y1, int x2, int y2, Colour pen) override {
        record(Kind::Line, {x1, y1, x2, y2}, pen);
    }
    void text(int x, int y, std::string_view s, const ButtonFont&, Colour colour) override {
        record(Kind::Text, {x, y, x, y}, colour).text = std::string(s);
    }
    TextExtent textExtent(std::string_view s, const ButtonFont&) override {
        if (fixedExtent.width > 0) {
            return fixedExtent;
        }
        return {static_cast<int>(s.size()) * 8, 12};
    }
    void bitmapRow(int x, int y, std::span<const std::uint8_t> bgr) override {
        record(Kind::Row, {x, y, x, y}).width = static_cast<int>(bgr.size() / 3);
        rows.emplace_back(bgr.begin(), bgr.end());
    }
    void image(int x, int y, const imaging::PixelSurface& pixels) override {
        Op& op = record(Kind::Image, {x, y, x, y});
        op.width = pixels.width();
        op.height = pixels.height();
    }

    std::vector<Op> of(Kind kind) const {
        std::vector<Op> found;
        for (const Op& op : ops) {
            if (op.kind == kind) {
                found.push_back(op);
            }
        }
        return found;
    }

    Op& record(Kind kind, const Rect& rect, Colour first = 0, Colour second = 0) {
        Op op;
        op.kind = kind;
        op.rect = rect;
        op.first = first;
        op.second = second;
        return ops.emplace_back(std::move(op));
    }

    std::vector<Op> ops;
    std::vector<std::vector<std::uint8_t>> rows;
    WindowRegion region;
    TextExtent fixedExtent;
};

} // namespace zr::widgets::test
