// At every size the station can give its window, in both languages, each control the window
// shows lies wholly inside the client area and shows the whole of its text in its own font.
#include "WindowRig.h"
#include "recording/AttemptReasons.h"
#include "recording/LinkReasons.h"

#include <QAbstractButton>
#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QStyleOptionButton>
#include <QStyleOptionComboBox>
#include <gtest/gtest.h>

namespace zr::window::qt {
namespace {

using testing::WindowRig;

// The room a widget gives its text and the text, by the widget's kind.
struct TextRoom {
    QRect room;
    QString text;
    int flags = Qt::AlignLeft | Qt::AlignVCenter;
};

TextRoom textRoom(const QWidget* widget) {
    QStyle* style = widget->style();
    if (const auto* label = qobject_cast<const QLabel*>(widget)) {
        const int margin = label->margin();
        return {label->contentsRect().adjusted(margin, margin, -margin, -margin), label->text(),
                static_cast<int>(label->alignment()) | (label->wordWrap() ? Qt::TextWordWrap : 0)};
    }
    if (const auto* box = qobject_cast<const QCheckBox*>(widget)) {
        QStyleOptionButton option;
        option.initFrom(box);
        option.text = box->text();
        return {style->subElementRect(QStyle::SE_CheckBoxContents, &option, box), box->text()};
    }
    if (const auto* button = qobject_cast<const QAbstractButton*>(widget)) {
        // The skinned button centres its caption; its face leaves a pixel of border all round.
        return {button->rect().adjusted(2, 1, -2, -1), button->text(), Qt::AlignCenter};
    }
    const int frame = style->pixelMetric(QStyle::PM_DefaultFrameWidth, nullptr, widget);
    if (const auto* edit = qobject_cast<const QLineEdit*>(widget)) {
        // A line edit keeps two pixels beside its text inside the frame.
        return {edit->rect().adjusted(frame + 2, frame, -frame - 2, -frame), edit->text()};
    }
    if (const auto* combo = qobject_cast<const QComboBox*>(widget)) {
        QStyleOptionComboBox option;
        option.initFrom(combo);
        option.editable = combo->isEditable();
        const QRect field = style->subControlRect(QStyle::CC_ComboBox, &option,
                                                  QStyle::SC_ComboBoxEditField, combo);
        return {field.adjusted(combo->isEditable() ? 2 : 0, 0, 0, 0), combo->currentText()};
    }
    return {};
}

// Every control shown: wholly inside the client area, its text wholly inside its room.
void expectEverythingFits(const WindowRig& rig, const std::string& where) {
    for (const Place& place : windowLayout()) {
        const QWidget* widget = rig.front.widgetFor(place.name);
        if (widget == nullptr || widget->isHidden() ||
            !rig.front.rect().intersects(widget->geometry())) {
            continue;
        }
        EXPECT_TRUE(rig.front.rect().contains(widget->geometry()))
            << place.name << " is cut off by the window at " << where;
        const TextRoom room = textRoom(widget);
        if (room.text.isEmpty()) {
            continue;
        }
        const QRect needed =
            QFontMetrics(widget->font()).boundingRect(room.room, room.flags, room.text);
        EXPECT_TRUE(needed.width() <= room.room.width() && needed.height() <= room.room.height())
            << place.name << " needs " << needed.width() << "x" << needed.height() << " px, has "
            << room.room.width() << "x" << room.room.height() << " at " << where << ": "
            << room.text.toStdString();
    }
}

// The label's text fits it, and it is the whole text or the tooltip holds the whole text.
void expectShownWhole(const QLabel& label, const std::string& whole, const std::string& where) {
    const QString text = QString::fromStdString(whole);
    const TextRoom room = textRoom(&label);
    const QRect needed = label.fontMetrics().boundingRect(room.room, room.flags, room.text);
    EXPECT_TRUE(needed.width() <= room.room.width() && needed.height() <= room.room.height() &&
                (label.text() == text || label.toolTip() == text))
        << "cut at " << where << whole;
}

// The longest alarm and reason texts: a card holding its number in V1 and maybe in V3, its
// read-back refused in both layouts, a closed TCP/IP link with a long address, a vain search.
std::vector<station::AlarmText> longestReasons(window::MainWindow& station) {
    using L = recording::LayoutOutcome;
    recording::WriteAttempt card{"6553565535", "65535", "65535", true, L::Written, L::Written};
    card.outcome = recording::AttemptOutcome::V3Failed;
    card.answer = recording::ProgrammerAnswer::Unclear;
    card.failedStep = recording::FailedStep::V3Write;
    const auto verify = recording::verifyFailureAlarm(
        card, {card.uid, true, true, "65534:65535", true, "65535:65534"});
    card.v3 = L::WriteUnanswered;
    station.connType = "TCPIP";
    station.txtIP.setText("192.168.100.200");
    station.txtPORT.setText("65535");
    return {
        verify,
        *recording::failureAlarm(card),
        recording::linkClosedReason(station.link()),
        {"自動搜尋 COM：COM1–COM16 都沒有卡機回應。請檢查連接線與卡機電源，或選擇 TCP/IP 連線。",
         "Port search: no programmer answered on COM1–COM16. Check the cable and the "
         "programmer's power, or choose TCP/IP."}};
}

// Start-up, sbBlock and the unlock; each is also followed by chkBlock on and off.
const std::pair<int, int> kSizes[] = {{19200, 11200}, {9570, 8000}, {12800, 8777}};

TEST(StationWindowFit, EveryControlAndTextFitsAtEverySizeInBothLanguages) {
    // The longest two-line messages of each language stand in the message lines.
    const std::pair<const char*, const char*> messages[] = {
        {"卡號寫入成功，請更換卡片!", "Card Written OK.\r\nChange Another Card!"},
        {"TCPIP 連線已中斷！\r\n自動錄碼會自動重新連線。",
         "TCPIP link lost!\r\nAutomatic recording connects again by itself."},
        {"COM Port 通訊錯誤！\r\n請確認連線及放置卡片！",
         "COM Port Error！\r\nPlease Check Connect Setting And Card!"},
        {"批次完成：500 張卡片，00012:00001–00012:00500（略過 3 個卡號）",
         "Run complete: 500 cards, 00012:00001–00012:00500 (3 numbers skipped)"},
    };
    WindowRig rig;
    const std::vector<station::AlarmText> reasons = longestReasons(rig.station);
    // The register panel's heading takes a reason as long, its row a failed card.
    reg::RegisterPanel panel{
        true, false,
        "",   {{1, "", "", "6553565535", 65535, 65535, true, "unanswered", "unanswered", "failed"}},
        0,    0};
    rig.front.setRegisterPanel(&panel);
    const RegisterPanelView& view = rig.front.registerPanel();
    for (const int english : {0, 1}) {
        rig.station.chkLanguage.setValue(english);
        for (std::size_t i = 0; i < std::size(messages); ++i) {
            const auto& [chinese, englishText] = messages[i];
            // Two alarms, which show the acknowledge button and "(1/2)" after the first.
            rig.station.raiseAlarm(reasons[i]);
            rig.station.raiseAlarm({"-", "-"});
            panel.unavailable = english == 1 ? reasons[i].english : reasons[i].chinese;
            ++panel.revision;
            rig.station.infoOK.caption = english == 1 ? englishText : chinese;
            rig.station.infoErr.caption = rig.station.infoOK.caption;
            // The run's line takes the same texts as the message lines.
            rig.station.lblRunStatus.caption = rig.station.infoOK.caption;
            rig.station.prgRun.visible = true;
            rig.station.prgRun.text = "499 / 500";
            for (const auto& [width, first] : kSizes) {
                for (const int height : {first, 10810, 8040}) {
                    rig.station.size1 = width;
                    rig.station.size2 = height;
                    rig.front.syncFromStation();
                    const std::string where = std::to_string(width) + "x" + std::to_string(height) +
                                              (english == 1 ? " English: " : " Chinese: ");
                    expectEverythingFits(rig, where);
                    expectShownWhole(*rig.widget<QLabel>("lblAlarm"), rig.station.lblAlarm.caption,
                                     where);
                    expectShownWhole(*view.heading(), reg::panelTexts(panel, english == 1).heading,
                                     where);
                }
            }
            rig.station.cmdAlarmAck_Click();
            rig.station.cmdAlarmAck_Click();
        }
    }
    // A row the list cuts keeps its whole text in its tooltip.
    panel.unavailable.clear();
    ++panel.revision;
    rig.front.syncFromStation();
    EXPECT_EQ(view.list()->item(0)->toolTip(), view.list()->item(0)->text());
}

} // namespace
} // namespace zr::window::qt
