// The button's caption placement, as a list of canvas calls.
#include "RecordingCanvas.h"
#include "widgets/ButtonPainter.h"
#include "widgets/Gradients.h"

#include <gtest/gtest.h>

namespace zr::widgets {
namespace {

using test::RecordingCanvas;
using Kind = RecordingCanvas::Kind;

// Hands out one in-memory image, as a loaded icon file would be.
class FixedIcon final : public IconLoader {
  public:
    FixedIcon(int width, int height) { image.InitializeDIB(width, height); }
    const imaging::c32bppDIB* load(const std::string&, int) override {
        ++loads;
        return available ? &image : nullptr;
    }
    imaging::c32bppDIB image;
    bool available = true;
    int loads = 0;
};

ButtonProperties theme3Button() {
    ButtonProperties p;
    p.Theme = 3;
    p.Caption = "Read";
    return p;
}

TEST(CaptionPainter, NineAlignmentCodesOnA100By30Button) {
    struct Case {
        int code;
        Point at;
    };
    for (const Case& c : {Case{1, {1, 0}}, Case{2, {1, 8}}, Case{3, {1, 17}}, Case{4, {29, 0}},
                          Case{5, {29, 8}}, Case{6, {29, 17}}, Case{7, {57, 0}}, Case{8, {57, 8}},
                          Case{9, {57, 17}}, Case{0, {0, 0}}, Case{10, {0, 0}}}) {
        RecordingCanvas canvas;
        canvas.fixedExtent = {40, 12};
        ButtonProperties p = theme3Button();
        p.CaptionAlignment = c.code;
        PaintButton(canvas, 100, 30, p, {}, nullptr);
        const auto texts = canvas.of(Kind::Text);
        ASSERT_EQ(texts.size(), 1U);
        EXPECT_EQ((Point{texts[0].rect.left, texts[0].rect.top}), c.at) << "code " << c.code;
    }
}

} // namespace
} // namespace zr::widgets
