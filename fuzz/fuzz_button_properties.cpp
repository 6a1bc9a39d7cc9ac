// Hostile persisted properties: any values read into a button, then every look painted at a
// size taken from the input, must neither crash nor draw away from the control. (Fixed insets
// of the themes fall a few pixels outside a control smaller than they are; the region clips
// them.)
#include "imaging/PixelSurface.h"
#include "widgets/ButtonModel.h"
#include "widgets/ButtonPainter.h"

#include <array>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <span>

namespace {

using namespace zr::widgets;

constexpr std::array<const char*, 19> kNames = {"Caption",
                                                "IconSource",
                                                "CaptionDisableColor",
                                                "CaptionEffectColor",
                                                "CaptionEffect",
                                                "CaptionOffsetY",
                                                "CaptionOffsetX",
                                                "ShadowOffsetY",
                                                "ShadowOffsetX",
                                                "ForeColor",
                                                "Theme",
                                                "FocusDottedRect",
                                                "Enabled",
                                                "Font",
                                                "Icon",
                                                "RoundedValue",
                                                "TransparencyICO",
                                                "CaptionAlignment",
                                                "IconAlignment"};

class Input {
  public:
    explicit Input(std::span<const std::uint8_t> data) : data_(data) {}
    bool empty() const { return at_ >= data_.size(); }
    std::uint8_t byte() { return empty() ? 0 : data_[at_++]; }
    std::int64_t number() {
        std::uint64_t value = 0;
        for (int i = 0; i < 8; ++i) {
            value = (value << 8U) | byte();
        }
        std::int64_t result = 0;
        std::memcpy(&result, &value, sizeof result);
        return result;
    }
    std::string text() {
        std::string result;
        for (std::uint8_t length = byte(); length > 0 && !empty(); --length) {
            result.push_back(static_cast<char>(byte()));
        }
        return result;
    }

  private:
    std::span<const std::uint8_t> data_;
    std::size_t at_ = 0;
};

class QuietTimer final : public zr::platform::Timer {
  public:
    void start(int) override {}
    void stop() override {}
};

class QuietHost final : public ButtonHost {
  public:
    void propertyChanged(std::string_view) override {}
    void requestRepaint() override {}
    void messageBox(const std::string&, const std::string&, MessageIcon) override {}
    std::string applicationTitle() const override { return "fuzz"; }
    AppVersion applicationVersion() const override { return {}; }
    ButtonFont ambientFont() const override { return {}; }
    bool runMode() const override { return true; }
    ScreenPoint cursorPosition() const override { return {}; }
    bool isOwnWindowAt(ScreenPoint) const override { return true; }
    std::unique_ptr<zr::platform::Timer> createTimer(std::function<void()>) override {
        return std::make_unique<QuietTimer>();
    }
};

// Checks that everything lands on or next to the control.
class BoundsCanvas final : public Canvas {
  public:
    BoundsCanvas(int width, int height) : width_(width), height_(height) {}
    void setRegion(const WindowRegion& region) override {
        check(region.width == width_ && region.height == height_ &&
              region.inset.size() == static_cast<std::size_t>(height_));
    }
    void clear(Colour) override {}
    void fillGradient(const Rect& r, Colour, Colour, GradientDirection) override { inside(r); }
    void roundRectOutline(const Rect& r, int, int, Colour) override { inside(r); }
    void point(int x, int y, Colour) override { inside({x, y, x + 1, y + 1}); }
    void line(int x1, int y1, int x2, int y2, Colour) override {
        inside({std::min(x1, x2), std::min(y1, y2), std::max(x1, x2), std::max(y1, y2)});
    }
    void text(int, int, std::string_view, const ButtonFont&, Colour) override {}
    TextExtent textExtent(std::string_view s, const ButtonFont&) override {
        return {static_cast<int>(s.size()) * 7, 13};
    }
    void bitmapRow(int x, int y, std::span<const std::uint8_t> bgr) override {
        inside({x, y, x + static_cast<int>(bgr.size() / 3), y + 1});
    }
    void image(int, int, const zr::imaging::PixelSurface&) override {}

  private:
    static void check(bool ok) {
        if (!ok) {
            std::abort();
        }
    }
    void inside(const Rect& r) const {
        constexpr int kSlack = 8;
        check(r.left >= -kSlack && r.top >= -kSlack && r.right <= width_ + kSlack &&
              r.bottom <= height_ + kSlack);
    }
    int width_;
    int height_;
};

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    Input input(std::span(data, size));
    MemoryPropertyBag bag;
    for (int entries = 0; entries < 24 && !input.empty(); ++entries) {
        const char* name = kNames[input.byte() % kNames.size()];
        switch (input.byte() % 5) {
        case 0:
            bag.set(name, input.number());
            break;
        case 1:
            bag.set(name, input.byte() % 2 == 1);
            break;
        case 2:
            bag.set(name, input.text());
            break;
        case 3:
            bag.set(name, ButtonFont{input.text(), static_cast<double>(input.number() % 1000)});
            break;
        default:
            bag.setUnreadable(name);
            break;
        }
    }
    const int width = input.byte() % 200;
    const int height = input.byte() % 80;
    QuietHost host;
    ButtonModel button(host);
    button.ReadProperties(bag);
    ButtonProperties p = button.properties();
    p.Icon = false; // icon files are the image readers' own fuzz targets
    for (int look = 0; look < 8; ++look) {
        BoundsCanvas canvas(width, height);
        PaintButton(canvas, width, height, p, {(look & 1) != 0, (look & 2) != 0, (look & 4) != 0},
                    nullptr);
    }
    return 0;
}
