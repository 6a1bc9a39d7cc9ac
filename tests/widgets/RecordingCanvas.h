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
        Kind kind;
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
        ops.push_back({Kind::Region, {0, 0, r.width, r.height}});
    }
    void clear(Colour colour) override { ops.push_back({Kind::Clear, {}, colour}); }
    void fillGradient(const Rect& rect, Colour from, Colour to, GradientDirection) override {
        ops.push_back({Kind::Gradient, rect, from, to});
    }
    void roundRectOutline(const Rect& rect, int cornerWidth, int, Colour pen) override {
        ops.push_back({Kind::Outline, rect, pen, 0, cornerWidth});
    }
    void point(int x, int y, Colour colour) override {
        ops.push_back({Kind::Point, {x, y, x, y}, colour});
    }
    void line(int x1, int y1, int x2, int y2, Colour pen) override {
        ops.push_back({Kind::Line, {x1, y1, x2, y2}, pen});
    }
    void text(int x, int y, std::string_view s, const ButtonFont&, Colour colour) override {
        Op op{Kind::Text, {x, y, x, y}, colour};
        op.text = std::string(s);
        ops.push_back(op);
    }
    TextExtent textExtent(std::string_view s, const ButtonFont&) override {
        if (fixedExtent.width > 0) {
            return fixedExtent;
        }
        return {static_cast<int>(s.size()) * 8, 12};
    }
    void bitmapRow(int x, int y, std::span<const std::uint8_t> bgr) override {
        Op op{Kind::Row, {x, y, x, y}};
        op.width = static_cast<int>(bgr.size() / 3);
        rows.emplace_back(bgr.begin(), bgr.end());
        ops.push_back(op);
    }
    void image(int x, int y, const imaging::PixelSurface& pixels) override {
        Op op{Kind::Image, {x, y, x, y}};
        op.width = pixels.width();
        op.height = pixels.height();
        ops.push_back(op);
        lastImage = pixels;
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

    std::vector<Op> ops;
    std::vector<std::vector<std::uint8_t>> rows;
    WindowRegion region;
    TextExtent fixedExtent;
    imaging::PixelSurface lastImage;
};

} // namespace zr::widgets::test
