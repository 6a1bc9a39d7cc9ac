#include "register/OrderTexts.h"

#include "base/TextRules.h"

namespace zr::reg {

std::string orderCompleteText(const std::string& reference, std::int64_t size, bool english) {
    return english ? "Order " + reference + " complete: " + base::thousands(size) + " cards"
                   : "訂單 " + reference + " 已完成：" + base::thousands(size) + " 張卡片";
}

std::string orderWaitingText(const std::string& reference, std::int64_t unfinished, bool english) {
    const std::string count = base::thousands(unfinished);
    if (english) {
        return "Order " + reference + ": no number is free now. The bench waits for the " + count +
               (unfinished == 1 ? " number" : " numbers") +
               " that unfinished cards of other benches hold, and goes on by itself.";
    }
    return "訂單 " + reference + " 目前沒有可用卡號：等待其他工作站 " + count +
           " 張未完成卡片的卡號，之後自動繼續。";
}

std::string orderRefusedText(const std::string& reference, const std::string& state, bool english) {
    if (state.empty()) {
        return english ? "The card register has no order " + reference +
                             ": no card is written. Choose another order!"
                       : "卡片登錄中沒有訂單 " + reference + "，卡片未寫入，請選擇其他訂單!";
    }
    if (english) {
        return "Order " + reference + " is " + state +
               ": it gives no more numbers, no card is written. Choose another order!";
    }
    const char* chineseState = state == "cancelled" ? "已取消" : "已關閉";
    return "訂單 " + reference + " " + chineseState + "，不再給號，卡片未寫入，請選擇其他訂單!";
}

} // namespace zr::reg
