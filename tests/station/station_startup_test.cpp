// Start-up from stored settings and saving them at exit.
#include "station/Station.h"
#include "support/VirtualPlatform.h"

#include <gtest/gtest.h>
#include <map>
#include <string>

namespace zr::station {
namespace {

using testing::VirtualPlatform;
using Stored = std::map<std::string, std::string>;

struct StartedStation {
    explicit StartedStation(Stored stored = {}) {
        world.settings.values = std::move(stored);
        station.Form_Load();
    }
    VirtualPlatform world;
    Station station{world.services};
};

TEST(StationStartup, StoredKeysComeBackBoxByBox) {
    struct Case {
        std::string keyA;
        std::string keyNew;
        std::string expectedA0to5;
        std::string expectedNew0to5;
        int saveKey;
    };
    const Case cases[] = {
        {"12-34-56-78-9A-BC", "A1-B2-C3-D4-E5-F6", "12|34|56|78|9A|BC|", "A1|B2|C3|D4|E5|F6|", 1},
        {" 12-34-56 ", "", "12|34|56|FF|FF|FF|", "FF|FF|FF|FF|FF|FF|", 0},
        {"", "01--03-04-05-06", "FF|FF|FF|FF|FF|FF|", "01||03|04|05|06|", 1},
        {"1-2-3-4-5-6-7-8", "", "1|2|3|4|5|6|", "FF|FF|FF|FF|FF|FF|", 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.keyA + " / " + c.keyNew);
        StartedStation s(Stored{{"KeyA", c.keyA}, {"KeyNew", c.keyNew}});
        std::string a;
        std::string n;
        for (std::size_t i = 0; i < 6; ++i) {
            a += s.station.txtAKey[i].text() + "|";
            n += s.station.txtNewAKey[i].text() + "|";
        }
        EXPECT_EQ(a, c.expectedA0to5);
        EXPECT_EQ(n, c.expectedNew0to5);
        EXPECT_EQ(s.station.chkSaveKey.value(), c.saveKey);
    }
}

TEST(StationShutdown, ExitSavesTheSettingsAndClosesThePort) {
    StartedStation s;
    Station& st = s.station;
    bool ended = false;
    st.setEndHandler([&] { ended = true; });
    st.chkAutoAdd.setValue(1);
    st.txtCardCode.setText("00042");
    st.chkSaveKey.setValue(1);
    st.txtAKey[2].setText("");
    st.txtNewAKey[0].setText("5");
    st.cboBlock.text = "33 - Sec  8 BLOCK 33";
    st.CmdExit.click();
    EXPECT_TRUE(ended);
    EXPECT_FALSE(s.world.serial.isOpen());
    const auto& v = s.world.settings.values;
    EXPECT_EQ(v.at("AutoAdd"), "1");
    EXPECT_EQ(v.at("CardCode"), "00042");
    EXPECT_EQ(v.at("KeyA"), "FF-FF--FF-FF-FF");
    EXPECT_EQ(v.at("KeyNew"), "5-FF-FF-FF-FF-FF");
    EXPECT_EQ(v.at("BLOCK"), "33 - Sec  8 BLOCK 33");

    // The next start brings everything back, the empty box included.
    VirtualPlatform next;
    next.settings.values = v;
    Station again(next.services);
    again.Form_Load();
    EXPECT_EQ(again.txtCardCode.text(), "00042");
    EXPECT_EQ(again.txtAKey[2].text(), "");
    EXPECT_EQ(again.txtNewAKey[0].text(), "5");
    EXPECT_EQ(again.cboBlock.text, "33 - Sec  8 BLOCK 33");
    EXPECT_EQ(again.chkSaveKey.value(), 1);
}

} // namespace
} // namespace zr::station
