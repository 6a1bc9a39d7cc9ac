// The key procedures on a station: the key from a UID and the key frame to a controller.
#include "keys/KeyProcedures.h"
#include "protocol/ProgrammerLink.h"
#include "protocol/Senders.h"
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

TEST_F(KeyProcedures, KeyFromUidFillsBothRowsAndOnlyThem) {
    fill(station.txtBKey, {"1", "2", "3", "4", "5", "6"});
    station.txtUID.setText("0000000090");
    keys::cmdCalculate_A_Key_Click(station);
    const KeyBoxes derived{"0", "99", "96", "5A", "C3", "96"};
    EXPECT_EQ(texts(station.txtAKey), derived);
    EXPECT_EQ(texts(station.txtNewAKey), derived);
    EXPECT_EQ(texts(station.txtBKey), (KeyBoxes{"1", "2", "3", "4", "5", "6"}));
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
    ASSERT_TRUE(world.serial.open(1));
    ASSERT_EQ(station.cboBlock.text, "32 - Sec  8 BLOCK 32");
    protocol::ProgrammerLink link{station};
    link.currentCommand = "ReadUID";
    station.infoOK.caption = "earlier success";
    station.infoErr.caption = "earlier error";

    protocol::cmdSendKeyToController_Click(link);

    ASSERT_EQ(world.serial.written.size(), 1U);
    EXPECT_EQ(world.serial.written[0].bytes, (Bytes{0x8F, 0x0C, 0xFF, 0x34, 0x58, 0x20, 0xFF, 0xFF,
                                                    0xFF, 0xFF, 0xFF, 0xFF, 0x4C, 0xF1}));
    EXPECT_EQ(link.currentCommand, "120");
    EXPECT_EQ(station.infoOK.caption, "");
    EXPECT_EQ(station.infoErr.caption, "");
}

} // namespace
} // namespace zr
