// How far the order the bench works has come over every bench, in both languages.
#include "base/TextRules.h"
#include "station/Station.h"

namespace zr::station {
namespace {

constexpr double kMsPerHour = 3600.0 * 1000.0;

} // namespace

void Station::showOrder() {
    const bool inEnglish = english();
    prgRun.visible = true;
    if (!order.counted) {
        prgRun.maximum = 1;
        prgRun.value = 0;
        prgRun.text.clear();
        lblRunStatus.caption = (inEnglish ? "Order " : "訂單 ") + order.reference;
        return;
    }
    prgRun.maximum = static_cast<int>(order.ordered);
    prgRun.value = static_cast<int>(order.written);
    prgRun.text = base::thousands(order.written) + " / " + base::thousands(order.ordered);
    const std::string voided = base::thousands(order.voided);
    const std::string pace = base::thousands(order.perHour);
    // No pace, no estimate: a bench that just started would otherwise promise forever.
    const std::string timeLeft = order.perHour > 0
                                     ? clockText(static_cast<double>(order.free) /
                                                 static_cast<double>(order.perHour) * kMsPerHour)
                                     : "—";
    lblRunStatus.caption = inEnglish ? "Order " + order.reference + " · " + voided + " void · " +
                                           pace + " cards/h on all benches · " + timeLeft + " left"
                                     : "訂單 " + order.reference + " · 作廢 " + voided +
                                           " · 全部工作站每小時 " + pace + " 張 · 剩餘 " + timeLeft;
}

void Station::relabelNoOrder() {
    const std::string noOrder = say("（無訂單）", "(no order)");
    const std::vector<std::string> items = cboOrder.items();
    const int chosen = cboOrder.listIndex();
    cboOrder.clear();
    cboOrder.addItem(noOrder);
    for (std::size_t i = 1; i < items.size(); ++i) {
        cboOrder.addItem(items[i]);
    }
    cboOrder.setListIndex(chosen < 0 ? 0 : chosen);
}

} // namespace zr::station
