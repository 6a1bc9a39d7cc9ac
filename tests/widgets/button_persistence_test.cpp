// The button's stored properties: hostile stored values.
#include "FakeButtonHost.h"
#include "widgets/ButtonModel.h"

#include <gtest/gtest.h>

namespace zr::widgets {
namespace {

using test::FakeButtonHost;

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

} // namespace
} // namespace zr::widgets
