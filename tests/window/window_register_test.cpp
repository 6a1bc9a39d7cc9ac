// The card register's panel in the window: the last cards and today's count after each write
// attempt, the off notice in both languages, and a place that hides no control.
#include "WindowRig.h"
#include "platform/sql/QtDatabase.h"
#include "register/RegisterSettings.h"
#include "register/RegisterSink.h"

#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace zr::window::qt {
namespace {

using testing::WindowRig;

reg::RegisterLink::Open openRegister(const QTemporaryDir& dir) {
    return [path = dir.filePath("cards.sqlite").toStdString()] {
        return reg::openRegister(
            "sqlite:" + path, "bench-A", reg::CardRegister::Access::ReadWrite,
            [](const platform::DatabaseAddress& address, platform::SqlError& error) {
                return std::unique_ptr<platform::Database>(
                    platform::QtDatabase::open(address, error));
            },
            [] { return std::chrono::system_clock::now(); });
    };
}

void recordCard(reg::RegisterSink& sink, const std::string& uid, const std::string& card,
                recording::AttemptOutcome outcome) {
    const auto claimed = sink.claimCardCode(uid, "00012", card);
    ASSERT_TRUE(claimed);
    recording::WriteAttempt attempt;
    attempt.uid = uid;
    attempt.groupCode = "00012";
    attempt.cardCode = claimed->cardCode;
    attempt.v1 = outcome == recording::AttemptOutcome::Written
                     ? recording::LayoutOutcome::Written
                     : recording::LayoutOutcome::WriteRefused;
    attempt.outcome = outcome;
    sink.recordWrite(attempt);
}

QStringList rows(const RegisterPanelView& view) {
    QStringList texts;
    for (int i = 0; i < view.list()->count(); ++i) {
        texts << view.list()->item(i)->text();
    }
    return texts;
}

TEST(RegisterPanel, ShowsTheLastCardsAndTodaysCountAfterEachWrite) {
    QTemporaryDir dir;
    WindowRig rig;
    rig.station.chkLanguage.setValue(1);
    reg::RegisterLink link(rig.loop, openRegister(dir), "cards.sqlite", std::nullopt, nullptr);
    platform::MemoryLines journalFile;
    reg::RegisterJournal journal(journalFile);
    reg::RegisterSink sink(
        rig.station, link, journal, false, [] { return std::chrono::system_clock::now(); },
        [](const std::string&) {});
    rig.front.setRegisterPanel(&sink.panel());
    const RegisterPanelView& view = rig.front.registerPanel();
    EXPECT_EQ(view.heading()->text(), "Today: 0 cards");
    EXPECT_TRUE(view.list()->isVisible());
    EXPECT_EQ(view.list()->count(), 0);

    recordCard(sink, "2000012345", "00001", recording::AttemptOutcome::Written);
    recordCard(sink, "2000054321", "00002", recording::AttemptOutcome::V1Failed);
    recordCard(sink, "2000054321", "00002", recording::AttemptOutcome::Written);
    rig.front.syncFromStation();
    EXPECT_EQ(view.heading()->text(), "Today: 2 cards");
    const QStringList shown = rows(view);
    ASSERT_EQ(shown.size(), 3);
    EXPECT_TRUE(shown[0].endsWith("2000054321  00012:00002  written")) << shown[0].toStdString();
    EXPECT_TRUE(shown[1].endsWith("2000054321  00012:00002  failed")) << shown[1].toStdString();
    EXPECT_TRUE(shown[2].endsWith("2000012345  00012:00001  written")) << shown[2].toStdString();

    // The language switch redraws the panel without a new write.
    rig.station.chkLanguage.setValue(0);
    rig.front.syncFromStation();
    EXPECT_EQ(view.heading()->text(), "今日已錄 2 張卡");
    EXPECT_TRUE(rows(view)[0].endsWith("已寫入"));
}

TEST(RegisterPanel, SaysTheRegisterIsOffInBothLanguages) {
    WindowRig rig;
    const reg::RegisterPanel off;
    rig.front.setRegisterPanel(&off);
    const RegisterPanelView& view = rig.front.registerPanel();
    rig.station.chkLanguage.setValue(0);
    rig.front.syncFromStation();
    EXPECT_EQ(view.heading()->text(), "卡片登錄未開啟");
    EXPECT_TRUE(view.heading()->isVisible());
    EXPECT_FALSE(view.list()->isVisible());
    rig.station.chkLanguage.setValue(1);
    rig.front.syncFromStation();
    EXPECT_EQ(view.heading()->text(), "Card register is off");

    // A window with no register behind it shows no panel at all.
    rig.front.setRegisterPanel(nullptr);
    EXPECT_FALSE(view.heading()->isVisible());
}

// The panel sits in free space of the operator's area: every window size that shows that
// area shows the whole panel, and no control's widget overlaps it.
TEST(RegisterPanel, TakesNoControlsPlaceAndShowsInTheOperatorsArea) {
    WindowRig rig;
    const reg::RegisterPanel off;
    rig.front.setRegisterPanel(&off);
    const RegisterPanelView& view = rig.front.registerPanel();
    const QRect panel = view.heading()->geometry().united(view.list()->geometry());
    for (const Place& place : windowLayout()) {
        const QWidget* widget = rig.front.widgetFor(place.name);
        if (widget != nullptr) {
            EXPECT_FALSE(widget->geometry().intersects(panel)) << place.name;
        }
    }
    for (const auto& [width, height] : {std::pair{9570, 8000}, {12800, 8777}, {19200, 11200}}) {
        rig.station.size1 = width;
        rig.station.size2 = height;
        rig.front.syncFromStation();
        EXPECT_TRUE(rig.front.rect().contains(panel)) << width << " x " << height;
        EXPECT_TRUE(rig.front.showsControl("infoErr"));
    }
    // An alarm stays on screen beside the panel until the operator acknowledges it.
    rig.station.size1 = 9570;
    rig.station.size2 = 8000;
    rig.station.raiseAlarm({"Ｖ１已寫入 00001:00005", "V1 holds 00001:00005"});
    rig.front.syncFromStation();
    ASSERT_TRUE(rig.front.showsControl("lblAlarm"));
    EXPECT_TRUE(rig.front.showsControl("cmdAlarmAck"));
    EXPECT_FALSE(rig.front.widgetFor("lblAlarm")->geometry().intersects(panel));
    rig.station.cmdAlarmAck.onClick();
    rig.front.syncFromStation();
    EXPECT_FALSE(rig.front.showsControl("cmdAlarmAck"));
}

} // namespace
} // namespace zr::window::qt
