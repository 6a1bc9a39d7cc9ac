// The button's properties, input and hover poll, on a fake host and the virtual clock.
#include "FakeButtonHost.h"
#include "widgets/ButtonModel.h"

#include <gtest/gtest.h>

namespace zr::widgets {
namespace {

using test::FakeButtonHost;

struct Fixture : ::testing::Test {
    FakeButtonHost host;
    ButtonModel button{host};
    void SetUp() override { button.InitProperties("sbCOM"); }
};

using ButtonWriters = Fixture;

TEST_F(ButtonWriters, IconNeedsASourceOfAtLeastEightCharacters) {
    struct Case {
        const char* source;
        bool accepted;
        const char* reason;
    };
    for (const Case& c :
         {Case{"", false, "Null Value!"}, Case{"a.bmp", false, "Incorrect Source!"},
          Case{"C:\\a.bm", false, "Incorrect Source!"}, Case{"C:\\x.bmp", true, ""}}) {
        host.messages.clear();
        button.SetIconSource(c.source);
        button.SetIcon(true);
        EXPECT_EQ(button.Icon(), c.accepted) << c.source;
        if (c.accepted) {
            EXPECT_TRUE(host.messages.empty());
            continue;
        }
        ASSERT_EQ(host.messages.size(), 1U);
        const std::string& text = host.messages[0].text;
        EXPECT_EQ(text.rfind(std::string(c.reason) + "\r\n\r\n", 0), 0U) << text;
        EXPECT_NE(text.find("\r\nFor Example:\r\nC:\\My Pic.bmp"), std::string::npos);
        EXPECT_EQ(host.messages[0].title, "Zephra Button 2007 Ver.1.0.5.");
        EXPECT_EQ(host.messages[0].icon, MessageIcon::None);
    }
    // The refusal is still recorded for saving.
    EXPECT_EQ(host.changes.back(), "Icon");
}

using ButtonInput = Fixture;

TEST_F(ButtonInput, SpaceShowsPressedWithoutClickAndEnterClicks) {
    int clicks = 0;
    std::vector<int> keyPresses;
    button.events.Click = [&] { ++clicks; };
    button.events.KeyPress = [&](std::int16_t& key) { keyPresses.push_back(key); };
    std::int16_t space = KeyCode::Space;
    std::int16_t shift = 0;
    button.KeyDown(space, shift);
    EXPECT_TRUE(button.IsPressed());
    button.KeyUp(space, shift);
    EXPECT_FALSE(button.IsPressed());
    std::int16_t spaceChar = 32;
    button.KeyPress(spaceChar);
    EXPECT_EQ(clicks, 0);
    std::int16_t enter = KeyCode::Enter;
    button.KeyPress(enter);
    EXPECT_EQ(clicks, 1);
    EXPECT_EQ(keyPresses, (std::vector<int>{32, 13}));
}

TEST_F(ButtonInput, DisabledButtonRaisesNothingAndNeverLooksPressedOrHovered) {
    int raised = 0;
    button.events.Click = [&] { ++raised; };
    button.events.DoubleClick = [&] { ++raised; };
    button.events.KeyDown = [&](std::int16_t&, std::int16_t&) { ++raised; };
    button.events.KeyPress = [&](std::int16_t&) { ++raised; };
    button.events.KeyUp = [&](std::int16_t&, std::int16_t&) { ++raised; };
    button.events.MouseDown = [&](std::int16_t&, std::int16_t&, float&, float&) { ++raised; };
    button.events.MouseMove = [&](std::int16_t&, std::int16_t&, float&, float&) { ++raised; };
    button.events.MouseUp = [&](std::int16_t&, std::int16_t&, float&, float&) { ++raised; };
    button.events.MouseEnters = [&](std::int32_t&, std::int32_t&) { ++raised; };
    button.SetEnabled(false);

    std::int16_t key = KeyCode::Space;
    std::int16_t ascii = KeyCode::Enter;
    std::int16_t shift = 0;
    std::int16_t left = MouseButton::Left;
    float x = 1;
    float y = 1;
    button.KeyDown(key, shift);
    button.KeyPress(ascii);
    button.KeyUp(key, shift);
    button.MouseDown(left, shift, x, y);
    button.MouseMove(left, shift, x, y);
    button.Clicked();
    button.DoubleClicked();
    button.GotFocus();
    host.overButton = true;
    host.loop.runFor(500);
    EXPECT_EQ(raised, 0);
    EXPECT_FALSE(button.IsPressed());
    EXPECT_FALSE(button.IsHovering());
    EXPECT_FALSE(button.HasFocus());

    // Focus that arrived while disabled shows once the button is enabled again; focus that
    // left meanwhile does not.
    button.SetEnabled(true);
    EXPECT_TRUE(button.HasFocus());
    button.SetEnabled(false);
    button.LostFocus();
    button.SetEnabled(true);
    EXPECT_FALSE(button.HasFocus());
}

TEST_F(ButtonInput, DisablingWhilePressedDoesNotLeaveThePressedLookBehind) {
    std::int16_t left = MouseButton::Left;
    std::int16_t shift = 0;
    float x = 1;
    float y = 1;
    button.MouseDown(left, shift, x, y);
    button.SetEnabled(false);
    button.MouseUp(left, shift, x, y);
    button.SetEnabled(true);
    EXPECT_FALSE(button.IsPressed());
}

TEST_F(ButtonInput, AccessKeyShowsItsCharacterCode) {
    button.AccessKeyPress('C');
    ASSERT_EQ(host.messages.size(), 1U);
    EXPECT_EQ(host.messages[0].text, "67");
    EXPECT_EQ(host.messages[0].title, "ZR Station");
}

using HoverPoll = Fixture;

TEST_F(HoverPoll, EntersAndLeavesWithinOnePollOfTheCursor) {
    std::vector<std::string> seen;
    button.events.MouseEnters = [&](std::int32_t& x, std::int32_t& y) {
        seen.push_back("enter " + std::to_string(x) + "," + std::to_string(y) + " @" +
                       std::to_string(host.loop.now()));
    };
    button.events.MouseLeaves = [&](std::int32_t& x, std::int32_t& y) {
        seen.push_back("leave " + std::to_string(x) + "," + std::to_string(y) + " @" +
                       std::to_string(host.loop.now()));
    };
    host.loop.runFor(120);
    host.cursor = {410, 220};
    host.overButton = true;
    host.loop.runFor(50);
    EXPECT_TRUE(button.IsHovering());
    host.loop.runFor(200);
    host.cursor = {600, 10};
    host.overButton = false; // a message box over the button counts the same
    host.loop.runFor(50);
    EXPECT_FALSE(button.IsHovering());
    EXPECT_EQ(seen, (std::vector<std::string>{"enter 410,220 @150", "leave 600,10 @400"}));
    EXPECT_EQ(button.CursorPoint(), (ScreenPoint{600, 10}));
}

} // namespace
} // namespace zr::widgets
