// The key procedures on a station: swap, unlock, key from UID, key frame to a controller.
// The rules they call (derivation, frames, box texts) are tested on their own in keys_test.
#include "keys/KeyProcedures.h"
#include "station/Station.h"
#include "support/VirtualPlatform.h"

#include <cstdint>
#include <gtest/gtest.h>
#include <string>
#include <vector>

namespace zr {
namespace {

using keys::KeyBoxes;
using Bytes = std::vector<std::uint8_t>;

class KeyProcedures : public ::testing::Test {
  protected:
    void SetUp() override {
        station.site = keys::siteKeysFrom(keys::defaultSiteConfig());
        station.Form_Load();
    }

    static KeyBoxes texts(const station::ControlArray<station::TextBox, 6>& row) {
        KeyBoxes boxes;
        for (std::size_t i = 0; i < 6; ++i) {
            boxes[i] = row[i].text();
        }
        return boxes;
    }
    static void fill(station::ControlArray<station::TextBox, 6>& row, const KeyBoxes& boxes) {
        for (std::size_t i = 0; i < 6; ++i) {
            row[i].setText(boxes[i]);
        }
    }

    testing::VirtualPlatform world;
    platform::ScriptedDesktop& desktop = world.desktop;
    station::Station station{world.services};
};

TEST_F(KeyProcedures, SwapExchangesTheRowsExactlyAsTheyStand) {
    const KeyBoxes current{"", "5", "ab", "FF", " 1", "0"};
    const KeyBoxes next{"12", "", "C", "3x", "44", "f"};
    fill(station.txtAKey, current);
    fill(station.txtNewAKey, next);
    fill(station.txtBKey, {"B0", "B1", "B2", "B3", "B4", "B5"});

    keys::cmdSwitch_Click(station);
    EXPECT_EQ(texts(station.txtAKey), next);
    EXPECT_EQ(texts(station.txtNewAKey), current);
    EXPECT_EQ(texts(station.txtBKey), (KeyBoxes{"B0", "B1", "B2", "B3", "B4", "B5"}));
}

// Unlocking also turns the traffic log back on after the block button turned it off.
TEST_F(KeyProcedures, OnlyTheExactAdministratorCodeEnlargesTheWindow) {
    const platform::ScriptedDesktop::Box asked{"Administrator Code", "Admin", ""};
    std::string line = "OK";
    for (const auto& [answer, unlocks] : {std::pair{"Mavrolint", false},
                                          {"mavrolint ", false},
                                          {"mavrolin", false},
                                          {"", false},
                                          {"mavrolint", true}}) {
        SCOPED_TRACE(answer);
        station.sbBlock_Click();
        desktop.answers = {answer};
        desktop.inputBoxes.clear();
        keys::lblCaption_DblClick(station);
        ASSERT_EQ(desktop.inputBoxes, std::vector<platform::ScriptedDesktop::Box>{asked});
        EXPECT_EQ(station.size1, unlocks ? 12800 : 9570);
        EXPECT_EQ(station.size2, unlocks ? 8777 : 8000);
        EXPECT_TRUE(desktop.messageBoxes.empty());
        station.WriteTrafficLog(line);
        EXPECT_EQ(world.trafficLog.lines.size(), unlocks ? 1u : 0u);
    }
}

TEST_F(KeyProcedures, KeyFromUidFillsBothRowsAndOnlyThem) {
    fill(station.txtBKey, {"1", "2", "3", "4", "5", "6"});
    station.txtUID.setText("0000000090");
    keys::cmdCalculate_A_Key_Click(station);
    const KeyBoxes derived{"0", "99", "96", "5A", "C3", "96"};
    EXPECT_EQ(texts(station.txtAKey), derived);
    EXPECT_EQ(texts(station.txtNewAKey), derived);
    EXPECT_EQ(texts(station.txtBKey), (KeyBoxes{"1", "2", "3", "4", "5", "6"}));
}

TEST_F(KeyProcedures, UidWithoutTwoDecimalHalvesLeavesBothRows) {
    const KeyBoxes current{"11", "22", "33", "44", "55", "66"};
    const KeyBoxes next{"a", "", "C", "D", "E", "F"};
    for (const char* uid : {"", "1234567890", "00000 0000"}) {
        fill(station.txtAKey, current);
        fill(station.txtNewAKey, next);
        station.txtUID.setText(uid);
        keys::cmdCalculate_A_Key_Click(station);
        EXPECT_EQ(texts(station.txtAKey), current) << uid;
        EXPECT_EQ(texts(station.txtNewAKey), next) << uid;
    }
}

TEST_F(KeyProcedures, DerivationUsesTheSiteMasks) {
    keys::SiteConfig config = keys::defaultSiteConfig();
    config.masks = {0x01, 0x02, 0x03};
    config.loginKey = {1, 2, 3, 4, 5, 6};
    station.site = keys::siteKeysFrom(config);
    EXPECT_EQ(station.site.loginKey, config.loginKey);
    EXPECT_EQ(station.site.v1CardKey, config.v1CardKey);

    station.txtUID.setText("0000000000");
    keys::cmdCalculate_A_Key_Click(station);
    EXPECT_EQ(texts(station.txtAKey), (KeyBoxes{"1", "2", "3", "1", "2", "3"}));
}

TEST_F(KeyProcedures, DesignKeyAndFirstBlockRowGoOutAsOneWrite) {
    ASSERT_TRUE(world.serial.isOpen());
    ASSERT_EQ(station.cboBlock.text, "32 - Sec  8 BLOCK 32");
    station.currentCommand = "ReadUID";
    station.infoOK.caption = "earlier success";
    station.infoErr.caption = "earlier error";

    keys::cmdSendKeyToController_Click(station);

    ASSERT_EQ(world.serial.written.size(), 1U);
    EXPECT_EQ(world.serial.written[0].bytes, (Bytes{0x8F, 0x0C, 0xFF, 0x34, 0x58, 0x20, 0xFF, 0xFF,
                                                    0xFF, 0xFF, 0xFF, 0xFF, 0x4C, 0xF1}));
    EXPECT_EQ(station.currentCommand, "120");
    EXPECT_EQ(station.infoOK.caption, "");
    EXPECT_EQ(station.infoErr.caption, "");
}

TEST_F(KeyProcedures, RefusedSendSendsNothingAndSaysWhyInTheCurrentLanguage) {
    const struct {
        bool closePort;
        std::string block;
        std::string box3;
        bool english;
        std::string error;
    } cases[] = {
        {true, "32", "FF", false, "序列埠未開啟，未送出!"},
        {true, "32", "FF", true, "Serial port is not open, nothing sent!"},
        {false, "300", "FF", true,
         "Block number \"300\" is not a whole number from 0 to 255, nothing sent!"},
        {false, "33 - Sec  8 BLOCK 33", "ZZ", false,
         "新 A KEY 第 4 格 \"ZZ\" 不是一個位元組 (00 - FF)，未送出!"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.error);
        station.chkLanguage.setValue(c.english ? 1 : 0);
        if (c.closePort) {
            world.serial.close();
        } else {
            world.serial.open(1);
        }
        station.cboBlock.text = c.block;
        station.txtNewAKey[3].setText(c.box3);
        station.infoOK.caption = "earlier success";
        station.currentCommand = "ReadUID";

        keys::cmdSendKeyToController_Click(station);

        EXPECT_TRUE(world.serial.written.empty());
        EXPECT_EQ(world.serial.writesWhileClosed, 0);
        EXPECT_EQ(station.infoErr.caption, c.error);
        EXPECT_EQ(station.infoOK.caption, "");
        EXPECT_EQ(station.currentCommand, "120");
    }
}

} // namespace
} // namespace zr
