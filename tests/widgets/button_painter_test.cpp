// The button's drawing as a list of canvas calls: caption, icon, theme bands and helpers.
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

TEST(CaptionPainter, OffsetsAreUnsignedBytesAndOddHalvesRoundToEven) {
    struct Case {
        std::int16_t ox;
        std::int16_t oy;
        Point at;
    };
    for (const Case& c : {Case{3, 2, {32, 10}}, Case{-4, 1, {29, 9}}, Case{255, 0, {284, 8}},
                          Case{256, 0, {29, 8}}}) {
        ButtonProperties p = theme3Button();
        p.CaptionOffsetX = c.ox;
        p.CaptionOffsetY = c.oy;
        RecordingCanvas canvas;
        canvas.fixedExtent = {40, 12};
        PaintButton(canvas, 100, 30, p, {}, nullptr);
        const auto text = canvas.of(Kind::Text).at(0);
        EXPECT_EQ((Point{text.rect.left, text.rect.top}), c.at) << c.ox;
    }
    // 100 / 2 - 41 / 2 - 1 = 28.5, which rounds to the even 28.
    EXPECT_EQ(captionPosition(5, 100, 30, {41, 12}, 0, 0), (Point{28, 8}));
    EXPECT_EQ(captionPosition(5, 100, 31, {40, 12}, 0, 0), (Point{29, 8}));
}

TEST(CaptionPainter, EffectsDrawTheirPassesInOrderAndDisabledDrawsOnce) {
    struct Pass {
        int dx;
        int dy;
        Colour colour;
        bool operator==(const Pass&) const = default;
    };
    const Colour fore = rgb(0, 0, 255);
    const Colour effect = rgb(10, 20, 30);
    const Colour grey = rgb(128, 128, 128);
    struct Case {
        int effect;
        bool enabled;
        std::vector<Pass> passes;
    };
    const std::vector<Case> cases = {
        {1, true, {{0, 0, fore}}},
        {2, true, {{-1, -1, effect}, {1, 1, grey}, {0, 0, fore}}},
        {3, true, {{1, 1, effect}, {-1, 0, grey}, {0, 0, fore}}},
        {4, true, {{1, 0, effect}, {-1, 0, effect}, {0, -1, effect}, {0, 1, effect}, {0, 0, fore}}},
        {5, true, {{3, 4, effect}, {0, 0, fore}}},
        {6, true, {}},
        {4, false, {{0, 0, rgb(154, 182, 200)}}},
    };
    for (const Case& c : cases) {
        ButtonProperties p = theme3Button();
        p.CaptionEffect = c.effect;
        p.Enabled = c.enabled;
        p.ForeColor = fore;
        p.CaptionEffectColor = effect;
        p.CaptionDisableColor = rgb(154, 182, 200);
        p.ShadowOffsetX = 3;
        p.ShadowOffsetY = 4;
        RecordingCanvas canvas;
        canvas.fixedExtent = {40, 12};
        PaintButton(canvas, 100, 30, p, {}, nullptr);
        std::vector<Pass> passes;
        for (const auto& op : canvas.of(Kind::Text)) {
            passes.push_back({op.rect.left - 29, op.rect.top - 8, op.first});
        }
        EXPECT_EQ(passes, c.passes) << "effect " << c.effect << " enabled " << c.enabled;
    }
}

TEST(IconPainter, AlignmentPlacesTheImageAtItsOwnSize) {
    struct Case {
        int alignment;
        int width;
        int height;
        Point at;
    };
    for (const Case& c : {Case{1, 16, 16, {5, 7}}, Case{2, 16, 16, {79, 7}},
                          Case{3, 16, 16, {16, 16}}, Case{7, 200, 50, {100, 25}}}) {
        FixedIcon icon(c.width, c.height);
        ButtonProperties p = theme3Button();
        p.Icon = true;
        p.IconAlignment = c.alignment;
        RecordingCanvas canvas;
        PaintButton(canvas, 100, 30, p, {}, &icon);
        const auto images = canvas.of(Kind::Image);
        ASSERT_EQ(images.size(), 1U);
        EXPECT_EQ((Point{images[0].rect.left, images[0].rect.top}), c.at) << c.alignment;
        EXPECT_EQ(images[0].width, c.width);
        EXPECT_EQ(images[0].height, c.height);
    }
}

TEST(IconPainter, NoIconWhenOffTransparentOrUnloadableAndNothingElseChanges) {
    ButtonProperties p = theme3Button();
    RecordingCanvas plain;
    PaintButton(plain, 100, 30, p, {}, nullptr);

    struct Case {
        bool icon;
        int transparency;
        bool available;
    };
    for (const Case& c : {Case{false, 100, true}, Case{true, 0, true}, Case{true, 100, false}}) {
        FixedIcon icon(16, 16);
        icon.available = c.available;
        ButtonProperties q = p;
        q.Icon = c.icon;
        q.TransparencyICO = static_cast<std::uint8_t>(c.transparency);
        RecordingCanvas canvas;
        PaintButton(canvas, 100, 30, q, {}, &icon);
        EXPECT_TRUE(canvas.of(Kind::Image).empty());
        EXPECT_EQ(canvas.ops.size(), plain.ops.size());
    }
}

// The theme-3 band colours each look ends with.
std::vector<Colour> lastBands(const ButtonState& state, bool enabled = true) {
    ButtonProperties p = theme3Button();
    p.Enabled = enabled;
    RecordingCanvas canvas;
    PaintButton(canvas, 100, 30, p, state, nullptr);
    const auto fills = canvas.of(Kind::Gradient);
    const auto& upper = fills[fills.size() - 2];
    const auto& lower = fills[fills.size() - 1];
    return {upper.first, upper.second, lower.first, lower.second};
}

TEST(ThemeLooks, FocusBeatsHoverAndPressedBeatsBoth) {
    const std::vector<Colour> normal = {rgb(246, 249, 251), rgb(168, 208, 229), rgb(146, 193, 217),
                                        rgb(213, 236, 247)};
    const std::vector<Colour> hover = {rgb(245, 249, 252), rgb(122, 183, 222), rgb(78, 153, 200),
                                       rgb(162, 217, 252)};
    const std::vector<Colour> focus = {rgb(245, 249, 252), rgb(148, 197, 222), rgb(123, 179, 209),
                                       rgb(162, 217, 252)};
    const std::vector<Colour> pressed = {rgb(239, 245, 251), rgb(97, 162, 214), rgb(78, 149, 205),
                                         rgb(162, 202, 235)};
    const std::vector<Colour> disabled = {rgb(246, 249, 251), rgb(168, 208, 229),
                                          rgb(163, 203, 223), rgb(213, 236, 247)};
    EXPECT_EQ(lastBands({}), normal);
    EXPECT_EQ(lastBands({false, true, false}), hover);
    EXPECT_EQ(lastBands({false, true, true}), focus);
    EXPECT_EQ(lastBands({true, true, true}), pressed);
    EXPECT_EQ(lastBands({true, false, false}), pressed);
    EXPECT_EQ(lastBands({true, true, true}, false), disabled);
}

TEST(ThemeLooks, FocusMarksOnlyWithFocusDottedRectWhileEnabled) {
    const auto marks = [](bool dotted, bool enabled) {
        ButtonProperties p = theme3Button();
        p.FocusDottedRect = dotted;
        p.Enabled = enabled;
        RecordingCanvas canvas;
        PaintButton(canvas, 20, 12, p, {false, false, true}, nullptr);
        std::vector<Point> black;
        for (const auto& op : canvas.of(Kind::Point)) {
            if (op.first == kBlack) {
                black.push_back({op.rect.left, op.rect.top});
            }
        }
        return black;
    };
    const std::vector<Point> dotted = marks(true, true);
    // Top and bottom rows x = 3, 5 .. 15 at y = 2 and 9; sides y = 3, 5, 7 at x = 2 and 17.
    EXPECT_EQ(dotted.size(), 7U * 2 + 3U * 2);
    for (const Point p : {Point{3, 2}, Point{15, 2}, Point{3, 9}, Point{2, 3}, Point{17, 7}}) {
        EXPECT_NE(std::find(dotted.begin(), dotted.end(), p), dotted.end()) << p.x << "," << p.y;
    }
    EXPECT_EQ(std::find(dotted.begin(), dotted.end(), Point{4, 2}), dotted.end());
    EXPECT_TRUE(marks(false, true).empty());
    EXPECT_TRUE(marks(true, false).empty());
}

TEST(ThemeLooks, RoundedValueZeroGivesSquareCornersAndUnknownThemesNoBackground) {
    ButtonProperties p = theme3Button();
    p.RoundedValue = 0;
    RecordingCanvas square;
    PaintButton(square, 100, 30, p, {}, nullptr);
    EXPECT_EQ(square.region.inset, std::vector<int>(30, 0));
    EXPECT_EQ(square.of(Kind::Outline).at(0).corner, 1);

    p.RoundedValue = 9;
    RecordingCanvas rounded;
    PaintButton(rounded, 100, 30, p, {}, nullptr);
    EXPECT_GT(rounded.region.inset.front(), 0);
    EXPECT_EQ(rounded.region.inset.front(), rounded.region.inset.back());
    EXPECT_EQ(rounded.region.inset[15], 0);

    for (const int theme : {0, 10, -3}) {
        p.Theme = theme;
        RecordingCanvas none;
        PaintButton(none, 100, 30, p, {true, true, true}, nullptr);
        ASSERT_EQ(none.ops.size(), 2U) << theme;
        EXPECT_EQ(none.ops[0].kind, Kind::Region);
        EXPECT_EQ(none.ops[1].kind, Kind::Text);
    }
}

TEST(GradientHelpers, TableStepsAndFourCornerRows) {
    EXPECT_EQ(gradientTable(0, rgb(1, 2, 3), rgb(9, 9, 9)), (std::vector<Colour>{rgb(1, 2, 3)}));
    EXPECT_EQ(gradientTable(4, rgb(0, 7, 200), rgb(10, 7, 0)),
              (std::vector<Colour>{rgb(0, 7, 200), rgb(2, 7, 150), rgb(5, 7, 100), rgb(8, 7, 50),
                                   rgb(10, 7, 0)}));

    RecordingCanvas canvas;
    DrawGradientFourColour(canvas, 4, 6, 3, 2, rgb(0, 0, 0), rgb(90, 0, 0), rgb(0, 60, 0),
                           rgb(90, 60, 0));
    ASSERT_EQ(canvas.rows.size(), 2U);
    EXPECT_EQ(canvas.of(Kind::Row)[1].rect.top, 7);
    // Bytes are blue, green, red.
    EXPECT_EQ(canvas.rows[0], (std::vector<std::uint8_t>{0, 0, 0, 0, 0, 30, 0, 0, 60}));
    EXPECT_EQ(canvas.rows[1], (std::vector<std::uint8_t>{0, 30, 0, 0, 30, 30, 0, 30, 60}));
    RecordingCanvas empty;
    DrawGradientFourColour(empty, 0, 0, 0, 5, 0, 0, 0, 0);
    EXPECT_TRUE(empty.ops.empty());
}

TEST(ColourHelpers, ChannelsAreAbsoluteAndClamped) {
    EXPECT_EQ(darken(rgb(10, 20, 30), 25), rgb(15, 5, 5));
    EXPECT_EQ(lighten(rgb(250, 100, 0), 10), rgb(255, 110, 10));
    EXPECT_EQ(invert(rgb(0, 100, 255)), rgb(255, 155, 0));
}

} // namespace
} // namespace zr::widgets
