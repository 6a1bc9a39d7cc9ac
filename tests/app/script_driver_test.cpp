// The station's script driver and console, and the station's command-line options.
#include "app/StationOptions.h"
#include "app/script/ScriptDriver.h"
#include "support/VirtualPlatform.h"

#include <gtest/gtest.h>
#include <sstream>

namespace zr::app {
namespace {

struct ScriptRun {
    explicit ScriptRun(const std::string& script) {
        station.Form_Load();
        std::istringstream in(script);
        ScriptDriver driver(station, console, out, errors);
        exitCode = driver.run(in);
    }
    testing::VirtualPlatform world;
    std::ostringstream out;
    std::ostringstream errors;
    ScriptConsole console{out};
    station::Station station{world.services};
    int exitCode = -1;
};

TEST(ScriptDriver, DumpsTheFirstStartThroughTheScript) {
    ScriptRun run("# first start\n"
                  "dump connType cboCOM.ListIndex chkLanguage txtGroupCode txtCardCode chkLock "
                  "chkSound chkProgramV1 chkProgramV3 chkAutoAdd cboProgrammer.ListIndex cboBlock "
                  "txtAKey(0) chkSaveKey chkBlock chkAutoRecord\n");
    EXPECT_EQ(run.exitCode, 0);
    EXPECT_EQ(run.out.str(), "connType=COM\ncboCOM.ListIndex=0\nchkLanguage=0\n"
                             "txtGroupCode=00001\ntxtCardCode=00001\nchkLock=1\nchkSound=1\n"
                             "chkProgramV1=1\nchkProgramV3=1\nchkAutoAdd=0\n"
                             "cboProgrammer.ListIndex=1\ncboBlock=32 - Sec  8 BLOCK 32\n"
                             "txtAKey(0)=FF\nchkSaveKey=0\nchkBlock=1\nchkAutoRecord=0\n");
}

TEST(ScriptDriver, LinesAndTheirOutput) {
    struct Case {
        const char* name;
        std::string script;
        std::string output;
    };
    const Case cases[] = {
        {"set keeps trailing blanks", "set txtIP  a b  \ndump txtIP\n", "txtIP= a b  \n"},
        {"set alone empties", "set txtIP\ndump txtIP\n", "txtIP=\n"},
        {"set check box raises its click", "set chkLanguage 1\ndump MainWindow.Caption\n",
         "MainWindow.Caption=ZR - Card Recording System V2.1555\n"},
        {"set list raises its click", "set cboProgrammer 0\ndump cboProgrammer.Text\n",
         "cboProgrammer.Text=Model P1 programmer\n"},
        {"set free-text combo takes the text",
         "set cboBlock 33\ndump cboBlock cboBlock.ListIndex\n",
         "cboBlock=33\ncboBlock.ListIndex=0\n"},
        {"explicit combo properties",
         "set cboBlock.ListIndex 2\ndump cboBlock\nset cboBlock.Text x\ndump cboBlock\n",
         "cboBlock=34 - Sec  8 BLOCK 34\ncboBlock=x\n"},
        {"scroll bar writes the interval", "set scrInterval 650\ndump txtInterval scrInterval\n",
         "txtInterval=650\nscrInterval=650\n"},
        {"type honours the length and backspace",
         "type txtGroupCode 1234567\n"
         "dump txtGroupCode\ntype txtGroupCode \\b\\b9\n"
         "dump txtGroupCode\n",
         "txtGroupCode=00001\ntxtGroupCode=0009\n"},
        {"escapes", "set txtUID a\\b\ndump txtUID lblNote.Visible sbCOM.ForeColor\n",
         "txtUID=a\\\\b\nlblNote.Visible=1\nsbCOM.ForeColor=0x0000C000\n"},
        {"list items and count", "dump cboCOM.ListCount cboCOM.List(15) cboCOM.List(16)\n",
         "cboCOM.ListCount=16\ncboCOM.List(15)=16-COM16\ncboCOM.List(16)=\n"},
        {"timer properties", "dump timerAutoRecord timerAutoRecord.Interval\n",
         "timerAutoRecord=0\ntimerAutoRecord.Interval=1000\n"},
        {"fields", "click sbBlock\ndump size1 size2 retryCount currentCommand\n",
         "size1=9570\nsize2=8000\nretryCount=0\ncurrentCommand=\n"},
        {"a CR LF script line loses its CR", "set txtReceive x\r\ndump txtReceive\n",
         "txtReceive=x\n"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        ScriptRun run(c.script);
        EXPECT_EQ(run.exitCode, 0) << run.errors.str();
        EXPECT_EQ(run.out.str(), c.output);
    }
}

TEST(ScriptDriver, WaitRunsTheVirtualClock) {
    ScriptRun run("wait 250\n");
    EXPECT_EQ(run.exitCode, 0);
    EXPECT_GE(run.world.loop.now(), 250U);
    EXPECT_LE(run.world.loop.now(), 251U);
}

TEST(ScriptDriver, ErrorsStopTheRunWithCodeTwo) {
    const std::pair<std::string, std::string> cases[] = {
        {"dump txtUID\nfrobnicate x\n", "script line 2: unknown command 'frobnicate'"},
        {"click cmdNothing\n", "script line 1: unknown control 'cmdNothing'"},
        {"dump txtUID.Wingspan\n", "script line 1: txtUID has no property 'Wingspan'"},
        {"set chkLock yes\n", "script line 1: cannot set chkLock to 'yes'"},
        {"set cboCOM 16\n", "script line 1: cannot set cboCOM to '16'"},
        {"set cboCOM.Text 3-COM3\n", "script line 1: cannot set cboCOM.Text to '3-COM3'"},
        {"set txtUID.Caption x\n", "script line 1: cannot set txtUID.Caption to 'x'"},
        {"wait soon\n", "script line 1: wait needs milliseconds, not 'soon'"},
        {"type lblNote x\n", "script line 1: unknown text box 'lblNote'"},
    };
    for (const auto& [script, message] : cases) {
        ScriptRun run(script);
        EXPECT_EQ(run.exitCode, ScriptDriver::kExitScriptError) << script;
        EXPECT_EQ(run.errors.str(), message + "\n");
    }
}

TEST(ScriptDriver, ExitSavesAndStopsWhileTheEndOfTheScriptSavesNothing) {
    ScriptRun exited("set txtCardCode 00077\nexit\nset txtCardCode 00078\n");
    EXPECT_EQ(exited.world.settings.values.at("CardCode"), "00077");
    EXPECT_EQ(exited.station.txtCardCode.text(), "00077");
    EXPECT_FALSE(exited.world.serial.isOpen());

    ScriptRun closed("set txtCardCode 00077\n");
    EXPECT_EQ(closed.world.settings.values.count("CardCode"), 0U);
}

TEST(ScriptConsole, PrintsBoxesAndTonesAndAnswersInOrder) {
    std::ostringstream out;
    ScriptConsole console(out);
    console.queueAnswer("mavrolint ");
    console.messageBox("line 1\r\nline 2", "ZR");
    console.beep(2000, 100);
    EXPECT_EQ(console.inputBox("Administrator Code", "Admin", ""), "mavrolint ");
    EXPECT_EQ(console.inputBox("Administrator Code", "Admin", ""), "");
    EXPECT_EQ(out.str(), "msgbox: line 1\\r\\nline 2\ntone: 2000 100\n");
}

TEST(StationOptions, ParsesAndRefuses) {
    const auto good =
        parseStationOptions({"--script", "-", "--com", "3=/dev/pts/4", "--com", "16=/dev/ttyUSB0",
                             "--log", "a.txt", "--register", "sqlite:cards.sqlite"});
    ASSERT_TRUE(good.options);
    EXPECT_EQ(*good.options->script, "-");
    EXPECT_EQ(*good.options->cardRegister, "sqlite:cards.sqlite");
    EXPECT_EQ(good.options->comPorts.at(3), "/dev/pts/4");
    EXPECT_EQ(good.options->comPorts.at(16), "/dev/ttyUSB0");
    for (const auto& bad : std::vector<std::vector<std::string>>{{"--com", "17=/dev/x"},
                                                                 {"--com", "0=/dev/x"},
                                                                 {"--com", "3"},
                                                                 {"--com", "x=/d"},
                                                                 {"--script"},
                                                                 {"--register"},
                                                                 {"--colour", "red"}}) {
        EXPECT_FALSE(parseStationOptions(bad).options) << bad.front();
    }
}

} // namespace
} // namespace zr::app
