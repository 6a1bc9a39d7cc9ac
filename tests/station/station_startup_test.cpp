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

// The first-start values of every control the script driver can dump are checked through
// the script in script_driver_test; here what a script cannot see.
TEST(StationStartup, FirstStartTakesTheDefaults) {
    StartedStation s;
    const Station& st = s.station;
    EXPECT_EQ(s.world.serial.openPort(), 1);
    EXPECT_EQ(st.sbCOM.foreColor, kLinkUp);
    EXPECT_EQ(st.sbTCPIP.foreColor, kLinkUnused);
    EXPECT_EQ(st.Caption, "ZR-錄碼系統 20160919");
    EXPECT_EQ(st.cboBlock.items().at(2), "34 - Sec  8 BLOCK 34");
    for (std::size_t i = 0; i < 6; ++i) {
        EXPECT_EQ(st.txtAKey[i].text(), "FF");
        EXPECT_EQ(st.txtNewAKey[i].text(), "FF");
    }
    EXPECT_FALSE(st.timerAutoRecord.isEnabled());
    EXPECT_EQ(st.chkAutoRecord.backColor, rgb(25, 76, 133));
    // Only the immediate writes happen at start-up.
    EXPECT_EQ(s.world.settings.values, (Stored{{"ConnType", "COM"}, {"ProgrammerType", "1"}}));
    // Centred on the screen.
    EXPECT_EQ(st.left, (s.world.desktop.screenWidth - st.size1) / 2);
    EXPECT_EQ(st.top, (s.world.desktop.screenHeight - st.size2) / 2);
}

TEST(StationStartup, MissingSerialPortLeavesTheButtonRed) {
    VirtualPlatform world;
    world.serial.availablePorts = {};
    Station station(world.services);
    station.Form_Load();
    EXPECT_FALSE(world.serial.isOpen());
    EXPECT_EQ(station.sbCOM.foreColor, kLinkDown);
}

TEST(StationStartup, StoredTcpLinkConnectsAndClosesTheSerialPort) {
    VirtualPlatform world;
    world.settings.values = {{"ConnType", "TCPIP"}, {"IP", " 127.0.0.1 "}, {"PORT", "4001"}};
    world.tcp.reachable = {"127.0.0.1:4001"};
    Station station(world.services);
    station.Form_Load();
    EXPECT_FALSE(world.serial.isOpen());
    EXPECT_EQ(world.tcp.state(), platform::TcpSocket::kStateConnected);
    EXPECT_EQ(world.tcp.lastHost, "127.0.0.1");
    EXPECT_EQ(station.sbTCPIP.foreColor, kLinkUp);
    EXPECT_EQ(station.sbCOM.foreColor, kLinkUnused);
    EXPECT_FALSE(station.cboCOM.enabled);
    EXPECT_TRUE(station.txtIP.enabled);
    EXPECT_TRUE(station.sbConnect.enabled);
    EXPECT_EQ(world.settings.values.at("IP"), "127.0.0.1");
}

// Hand-edited stores: the station comes up, on the defaults for what it cannot read.
TEST(StationStartup, BadStoredValuesFallBackToDefaults) {
    struct Case {
        std::string key;
        std::string value;
    };
    const Case cases[] = {
        {"COM", "abc"},    {"COM", "99"}, {"COM", "-1"},           {"COM", ""},
        {"Language", "x"}, {"Lock", "7"}, {"ProgrammerType", "7"}, {"AutoAdd", "1.5"}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.key + "=" + c.value);
        StartedStation s(Stored{{c.key, c.value}});
        EXPECT_EQ(s.station.cboCOM.listIndex(), 0);
        EXPECT_EQ(s.station.chkLanguage.value(), 0);
        EXPECT_EQ(s.station.chkLock.value(), 1);
        EXPECT_EQ(s.station.cboProgrammer.listIndex(), 1);
        EXPECT_EQ(s.station.chkAutoAdd.value(), 0);
    }
}

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

TEST(StationShutdown, UncheckedSaveKeyForgetsBlockAndKeys) {
    StartedStation s(Stored{{"KeyA", "12-34-56-78-9A-BC"},
                            {"KeyNew", "12-34-56-78-9A-BC"},
                            {"BLOCK", "34 - Sec  8 BLOCK 34"}});
    s.station.chkSaveKey.setValue(0);
    s.station.SaveStationSettings();
    EXPECT_EQ(s.world.settings.values.at("KeyA"), "");
    EXPECT_EQ(s.world.settings.values.at("KeyNew"), "");
    EXPECT_EQ(s.world.settings.values.at("BLOCK"), "");
}

TEST(StationShutdown, ClosingWithoutExitSavesNothing) {
    VirtualPlatform world;
    {
        Station station(world.services);
        station.Form_Load();
        station.txtCardCode.setText("00099");
    }
    EXPECT_EQ(world.settings.values.count("CardCode"), 0U);
}

} // namespace
} // namespace zr::station
