// The button's stored properties: defaults, reading order and hostile stored values.
#include "FakeButtonHost.h"
#include "widgets/ButtonModel.h"

#include <gtest/gtest.h>

namespace zr::widgets {
namespace {

using test::FakeButtonHost;

TEST(ButtonPersistence, NewAndStoredControlsDifferOnlyWhereTheirDefaultsDo) {
    FakeButtonHost host;
    ButtonModel fresh(host);
    fresh.InitProperties("sbTCPIP");
    MemoryPropertyBag empty;
    ButtonModel stored(host);
    stored.ReadProperties(empty);

    EXPECT_EQ(fresh.Caption(), "sbTCPIP");
    EXPECT_EQ(stored.Caption(), "");
    EXPECT_EQ(fresh.CaptionEffectColor(), 0xFFFFFFU);
    EXPECT_EQ(stored.CaptionEffectColor(), rgb(200, 200, 200));
    for (const ButtonModel* b : {&fresh, &stored}) {
        EXPECT_EQ(b->CaptionDisableColor(), rgb(212, 212, 212));
        EXPECT_EQ(b->Theme(), 1);
        EXPECT_EQ(b->RoundedValue(), 5);
        EXPECT_EQ(b->TransparencyICO(), 100);
        EXPECT_EQ(b->CaptionAlignment(), 5);
        EXPECT_EQ(b->IconAlignment(), 1);
        EXPECT_EQ(b->ShadowOffsetX(), 2);
        EXPECT_EQ(b->CaptionEffect(), 1);
        EXPECT_TRUE(b->FocusDottedRect());
        EXPECT_TRUE(b->Enabled());
        EXPECT_FALSE(b->Icon());
        EXPECT_EQ(b->Font(), host.ambient);
    }
}

TEST(ButtonPersistence, ReadsInOrderSoStoredCaptionOffsetsEndUpZero) {
    FakeButtonHost host;
    MemoryPropertyBag bag;
    bag.set("CaptionOffsetX", std::int64_t{6});
    bag.set("CaptionOffsetY", std::int64_t{3});
    bag.set("CaptionAlignment", std::int64_t{2});
    bag.set("Theme", std::int64_t{3});
    bag.set("Enabled", false);
    bag.set("Caption", std::string("COM"));
    ButtonModel button(host);
    button.ReadProperties(bag);
    EXPECT_EQ(button.CaptionOffsetX(), 0);
    EXPECT_EQ(button.CaptionOffsetY(), 0);
    EXPECT_EQ(button.CaptionAlignment(), 2);
    // Theme is read while Enabled still holds its default, so the disabled colour stays.
    EXPECT_EQ(button.CaptionDisableColor(), rgb(212, 212, 212));
    EXPECT_FALSE(button.Enabled());
    EXPECT_EQ(host.changes.front(), "Caption");
    EXPECT_EQ(host.changes.back(), "IconAlignment");
}

TEST(ButtonPersistence, HostileStoredValuesTakeTheCorrectionsOrAreSkipped) {
    FakeButtonHost host;
    MemoryPropertyBag bag;
    bag.set("RoundedValue", std::int64_t{0});
    bag.set("TransparencyICO", std::int64_t{250});
    bag.set("ShadowOffsetX", std::int64_t{70000}); // beyond 16 bits: skipped
    bag.set("Theme", std::string("three"));        // wrong kind: skipped
    bag.set("ForeColor", std::int64_t{-1});        // all bits set
    bag.set("Icon", true);                         // IconSource empty: refused
    bag.setUnreadable("CaptionEffect");
    ButtonModel button(host);
    button.ReadProperties(bag);
    EXPECT_EQ(button.RoundedValue(), 1);
    EXPECT_EQ(button.TransparencyICO(), 100);
    EXPECT_EQ(button.ShadowOffsetX(), 2);
    EXPECT_EQ(button.Theme(), 1);
    EXPECT_EQ(button.ForeColor(), 0xFFFFFFFFU);
    EXPECT_FALSE(button.Icon());
    EXPECT_EQ(button.CaptionEffect(), 1);
    ASSERT_EQ(host.messages.size(), 2U);
    EXPECT_EQ(host.messages[0].text.substr(0, 11), "Null Value!");
    EXPECT_EQ(host.messages[1].text, "Please Enter Between 0 TO 100 Value");
}

TEST(ButtonPersistence, SavingLeavesOutDefaultsAndRoundTrips) {
    FakeButtonHost host;
    ButtonModel button(host);
    button.InitProperties("sbConnect");
    button.SetTheme(7);
    button.SetIconSource("/icons/link.png");
    button.SetCaptionEffect(5);
    MemoryPropertyBag bag;
    button.WriteProperties(bag);
    std::vector<std::string> names;
    for (const auto& [name, value] : bag.values()) {
        names.push_back(name);
    }
    // A new control's white effect colour differs from the stored default, so it is kept.
    EXPECT_EQ(names, (std::vector<std::string>{"Caption", "CaptionEffect", "CaptionEffectColor",
                                               "IconSource", "Theme"}));

    ButtonModel reloaded(host);
    reloaded.ReadProperties(bag);
    EXPECT_EQ(reloaded.Caption(), "sbConnect");
    EXPECT_EQ(reloaded.Theme(), 7);
    EXPECT_EQ(reloaded.CaptionEffect(), 5);
    EXPECT_EQ(reloaded.CaptionEffectColor(), 0xFFFFFFU);
    EXPECT_EQ(reloaded.IconSource(), "/icons/link.png");
}

// Remembers the order in which names are read and written.
class OrderBag final : public PropertyBag {
  public:
    std::optional<PropertyValue> ReadProperty(std::string_view name,
                                              const PropertyValue& defaultValue) override {
        names.emplace_back(name);
        return defaultValue;
    }
    void WriteProperty(std::string_view name, const PropertyValue&, const PropertyValue&) override {
        names.emplace_back(name);
    }
    std::vector<std::string> names;
};

TEST(ButtonPersistence, ReadAndWriteOrders) {
    FakeButtonHost host;
    ButtonModel button(host);
    OrderBag read;
    button.ReadProperties(read);
    EXPECT_EQ(read.names,
              (std::vector<std::string>{
                  "Caption", "IconSource", "CaptionDisableColor", "CaptionEffectColor",
                  "CaptionEffect", "CaptionOffsetY", "CaptionOffsetX", "ShadowOffsetY",
                  "ShadowOffsetX", "ForeColor", "Theme", "FocusDottedRect", "Enabled", "Font",
                  "Icon", "RoundedValue", "TransparencyICO", "CaptionAlignment", "IconAlignment"}));
    OrderBag written;
    button.WriteProperties(written);
    EXPECT_EQ(written.names,
              (std::vector<std::string>{
                  "Caption", "IconSource", "ForeColor", "CaptionDisableColor", "CaptionEffectColor",
                  "CaptionEffect", "CaptionOffsetX", "CaptionOffsetY", "ShadowOffsetX",
                  "ShadowOffsetY", "Theme", "FocusDottedRect", "Enabled", "Font", "Icon",
                  "RoundedValue", "TransparencyICO", "CaptionAlignment", "IconAlignment"}));
}

} // namespace
} // namespace zr::widgets
