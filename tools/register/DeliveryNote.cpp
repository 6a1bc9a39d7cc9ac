#include "tools/register/DeliveryNote.h"

#include "register/CsvExport.h"

#include <algorithm>
#include <map>
#include <set>

namespace zr::tools {
namespace {

struct Words {
    const char* title;
    const char* customer;
    const char* group;
    const char* range;
    const char* state;
    const char* ordered;
    const char* written;
    const char* voided;
    const char* delivered;
    const char* notUsed;
    const char* unfinished;
    const char* free;
    const char* freeOpen;
    const char* voidCard;
    const char* stations;
    const char* dates;
    const char* created;
    const char* cardsHeading;
    std::vector<std::string> columns;
    // The order's reference, its state, the cards delivered, the cards ordered.
    std::string (*warning)(const std::string&, const std::string&, std::int64_t, std::int64_t);
    std::string (*stateName)(const std::string&);
};

const Words kEnglish{
    "Delivery note",
    "Customer",
    "Product group",
    "Range",
    "State",
    "Ordered",
    "Written",
    "Void",
    "Delivered",
    "Not used",
    "unfinished (a write not confirmed, or a station still holds the number)",
    "never given (the order was closed before they were)",
    "not given yet",
    "void",
    "Stations",
    "Written on (UTC)",
    "Order made (UTC)",
    "Cards in this box",
    {"#", "Number", "UID", "Station", "Written (UTC)"},
    [](const std::string& reference, const std::string& state, std::int64_t delivered,
       std::int64_t ordered) {
        return "NOT COMPLETE: order " + reference + " is " + state + "; " +
               std::to_string(delivered) + " of " + std::to_string(ordered) +
               " ordered cards are delivered";
    },
    [](const std::string& state) { return state; },
};

const Words kChinese{
    "出貨單",
    "客戶",
    "產品組別",
    "號碼範圍",
    "狀態",
    "訂購",
    "已寫入",
    "作廢",
    "交付",
    "未使用",
    "未完成（寫入未經確認，或工作站仍保留此號碼）",
    "未發出（訂單已於發出前結案）",
    "尚未發出",
    "作廢",
    "工作站",
    "寫入日期 (UTC)",
    "訂單建立 (UTC)",
    "本箱卡片",
    {"#", "卡號", "UID", "工作站", "寫入時間 (UTC)"},
    [](const std::string& reference, const std::string& state, std::int64_t delivered,
       std::int64_t ordered) {
        return "未完成：訂單 " + reference + " 狀態為「" + state + "」；訂購 " +
               std::to_string(ordered) + " 張，交付 " + std::to_string(delivered) + " 張";
    },
    [](const std::string& state) -> std::string {
        const std::map<std::string, std::string> names{{"open", "進行中"},
                                                       {"complete", "已完成"},
                                                       {"closed", "已結案"},
                                                       {"cancelled", "已取消"}};
        const auto name = names.find(state);
        return name == names.end() ? state : name->second;
    },
};

NoteLine fact(const std::string& label, const std::string& value) {
    return {NoteLine::Kind::Fact, {label, value}};
}

std::string groupText(int group) {
    const std::string digits = std::to_string(group);
    return std::string(5 - std::min<std::size_t>(5, digits.size()), '0') + digits;
}

// The stations that wrote the delivered cards with how many each, and the days they did.
std::vector<NoteLine> whoAndWhen(const DeliveryNote& note, const Words& words) {
    std::map<std::string, int> stations;
    std::set<std::string> days;
    for (const reg::WriteRow& row : note.delivered) {
        ++stations[row.station];
        days.insert(row.time.substr(0, 10));
    }
    std::string names;
    for (const auto& [station, count] : stations) {
        names += (names.empty() ? "" : ", ") + station + " (" + std::to_string(count) + ")";
    }
    const std::string span =
        days.empty() ? "-" : *days.begin() + (days.size() > 1 ? " – " + *days.rbegin() : "");
    return {fact(words.stations, names.empty() ? "-" : names), fact(words.dates, span)};
}

} // namespace

base::Result<DeliveryNote, reg::RegisterError> readDeliveryNote(reg::CardRegister& cards,
                                                                const std::string& reference) {
    const auto progress = cards.orderProgress(reference);
    if (!progress) {
        return progress.error();
    }
    const reg::Order& order = progress.value().order;
    const auto voids = cards.voidCards(order.group, order.first, order.last);
    if (!voids) {
        return voids.error();
    }
    reg::ListFilter numbers;
    numbers.group = order.group;
    numbers.cardFrom = order.first;
    numbers.cardTo = order.last;
    const auto writes = cards.list(numbers);
    if (!writes) {
        return writes.error();
    }
    std::set<int> voidNumbers;
    for (const reg::VoidCard& card : voids.value()) {
        voidNumbers.insert(card.card);
    }
    // A card laid on again is written again: its latest confirmed write is what it carries.
    std::map<std::string, reg::WriteRow> latest;
    for (const reg::WriteRow& row : writes.value()) {
        if (row.outcome == "written") {
            latest[row.uid] = row;
        }
    }
    DeliveryNote note{progress.value(), {}, voids.value()};
    for (const auto& [uid, row] : latest) {
        if (voidNumbers.count(row.card) == 0) {
            note.delivered.push_back(row);
        }
    }
    std::sort(note.delivered.begin(), note.delivered.end(),
              [](const reg::WriteRow& a, const reg::WriteRow& b) {
                  return std::pair{a.card, a.id} < std::pair{b.card, b.id};
              });
    return note;
}

std::string NoteText::pageNumber(std::size_t index) const {
    const std::string n = std::to_string(index + 1);
    const std::string m = std::to_string(pages.size());
    return language == NoteLanguage::Chinese ? "第 " + n + " 頁，共 " + m + " 頁"
                                             : "page " + n + " of " + m;
}

NoteText layOutNote(const DeliveryNote& note, NoteLanguage language, std::size_t linesPerPage) {
    const Words& words = language == NoteLanguage::Chinese ? kChinese : kEnglish;
    const reg::OrderProgress& progress = note.progress;
    const reg::Order& order = progress.order;
    NoteText text;
    text.language = language;
    text.title = std::string(words.title) + "  " + order.reference;
    const auto delivered = static_cast<std::int64_t>(note.delivered.size());
    if (order.state != "complete") {
        text.warning =
            words.warning(order.reference, words.stateName(order.state), delivered, order.size());
    }
    const bool givesMore = order.state == "open";
    std::vector<NoteLine> facts{
        fact(words.customer, order.customer.empty() ? "-" : order.customer),
        fact(words.group, groupText(order.group)),
        fact(words.range, reg::numberText(order.group, order.first) + " – " +
                              reg::numberText(order.group, order.last)),
        fact(words.state, words.stateName(order.state)),
        fact(words.ordered, std::to_string(order.size())),
        fact(words.written, std::to_string(progress.written)),
        fact(words.voided, std::to_string(progress.voided)),
    };
    for (const reg::VoidCard& card : note.voids) {
        facts.push_back(fact("", std::string(words.voidCard) + " " +
                                     reg::numberText(card.group, card.card) + "  " + card.uid +
                                     "  " + card.reason));
    }
    const std::vector<NoteLine> unused{
        fact(words.delivered, std::to_string(delivered)),
        fact(words.notUsed, std::to_string(progress.unfinished + progress.free())),
        fact("", std::to_string(progress.unfinished) + " " + words.unfinished),
        fact("", std::to_string(progress.free()) + " " + (givesMore ? words.freeOpen : words.free)),
    };
    facts.insert(facts.end(), unused.begin(), unused.end());
    for (NoteLine& line : whoAndWhen(note, words)) {
        facts.push_back(std::move(line));
    }
    facts.push_back(fact(words.created, order.created));
    facts.push_back({NoteLine::Kind::Heading, {words.cardsHeading}});

    const NoteLine columns{NoteLine::Kind::Heading, words.columns};
    text.pages.emplace_back();
    const auto place = [&](NoteLine line, bool card) {
        if (text.pages.back().size() >= linesPerPage) {
            text.pages.emplace_back();
            if (card) {
                text.pages.back().push_back(columns);
            }
        }
        text.pages.back().push_back(std::move(line));
    };
    for (NoteLine& line : facts) {
        place(std::move(line), false);
    }
    place(columns, false);
    std::size_t index = 0;
    for (const reg::WriteRow& row : note.delivered) {
        place({NoteLine::Kind::Card,
               {std::to_string(++index), reg::numberText(row.group, row.card), row.uid, row.station,
                row.time.substr(0, 19)}},
              true);
    }
    return text;
}

} // namespace zr::tools
