#include "tools/register/serve/ServeOrders.h"

#include <QDateTime>
#include <QJsonArray>
#include <QUrl>
#include <algorithm>
#include <cmath>
#include <map>

namespace zr::tools::serve {
namespace {

using std::chrono::duration;
using Hours = duration<double, std::ratio<3600>>;

QString text(const std::string& value) {
    return QString::fromStdString(value);
}

QString noteLink(const char* path, const std::string& reference) {
    return QString::fromLatin1(path) +
           "?ref=" + QString::fromLatin1(QUrl::toPercentEncoding(text(reference)));
}

// Since when an open order has had no card: its latest card, or with none its first attempt.
std::optional<Now> quietSince(const reg::OrderAtWork& order) {
    std::string lastCard;
    std::string firstAttempt;
    for (const reg::OrderBench& bench : order.benches) {
        lastCard = std::max(lastCard, bench.lastCard);
        if (firstAttempt.empty() || bench.firstAttempt < firstAttempt) {
            firstAttempt = bench.firstAttempt;
        }
    }
    return timeOfText(lastCard.empty() ? firstAttempt : lastCard);
}

struct OrderJson {
    QJsonObject order;
    std::optional<QJsonObject> stalled;
};

OrderJson orderJson(const reg::OrderAtWork& work, const std::map<std::string, std::int64_t>& latest,
                    Now now) {
    const reg::OrderProgress& progress = work.progress;
    const reg::Order& order = progress.order;
    double perHour = 0;
    QJsonArray benches;
    QJsonArray takers;
    for (const reg::OrderBench& bench : work.benches) {
        const double rate = benchCardsPerHour(bench, now);
        perHour += rate;
        const auto last = latest.find(bench.station);
        // Its latest attempt of the day is on this order's numbers: the bench is at it.
        const bool taken = last != latest.end() && last->second == bench.lastAttemptId;
        if (taken) {
            takers.append(text(bench.station));
        }
        benches.append(QJsonObject{{"station", text(bench.station)},
                                   {"written", static_cast<qint64>(bench.written)},
                                   {"cardsPerHour", static_cast<qint64>(std::llround(rate))},
                                   {"taken", taken}});
    }
    const bool open = order.state == "open";
    QJsonValue secondsLeft = QJsonValue::Null;
    if (open && progress.free() > 0 && perHour > 0) {
        secondsLeft = static_cast<qint64>(
            std::llround(static_cast<double>(progress.free()) / perHour * 3600.0));
    }
    QJsonObject json{{"reference", text(order.reference)},
                     {"customer", text(order.customer)},
                     {"group", order.group},
                     {"first", text(reg::numberText(order.group, order.first))},
                     {"last", text(reg::numberText(order.group, order.last))},
                     {"ordered", static_cast<qint64>(order.size())},
                     {"written", static_cast<qint64>(progress.written)},
                     {"void", static_cast<qint64>(progress.voided)},
                     {"unfinished", static_cast<qint64>(progress.unfinished)},
                     {"free", static_cast<qint64>(progress.free())},
                     {"state", text(order.state)},
                     {"changed", text(order.changed)},
                     {"benches", benches},
                     {"cardsPerHour", static_cast<qint64>(std::llround(perHour))},
                     {"secondsLeft", secondsLeft}};
    if (order.state == "complete") {
        json.insert("notePdf", noteLink("/note.pdf", order.reference));
        json.insert("noteCsv", noteLink("/note.csv", order.reference));
    }
    OrderJson made{json, std::nullopt};
    const auto since = quietSince(work);
    if (open && !takers.isEmpty() && since && now - *since >= kStallAlarm) {
        made.stalled = QJsonObject{
            {"reference", text(order.reference)},
            {"minutes",
             static_cast<qint64>(std::chrono::floor<std::chrono::minutes>(now - *since).count())},
            {"benches", takers}};
    }
    return made;
}

} // namespace

std::optional<Now> timeOfText(const std::string& utc) {
    const QDateTime time = QDateTime::fromString(text(utc), Qt::ISODateWithMs);
    if (!time.isValid()) {
        return std::nullopt;
    }
    return Now(std::chrono::milliseconds(time.toMSecsSinceEpoch()));
}

double benchCardsPerHour(const reg::OrderBench& bench, Now now) {
    const auto first = timeOfText(bench.firstRecent);
    if (bench.recentWritten == 0 || !first) {
        return 0;
    }
    const auto span = std::max<Now::duration>(now - *first, kShortestRateSpan);
    return static_cast<double>(bench.recentWritten) / Hours(span).count();
}

View ordersView(reg::CardRegister& cards, Now now) {
    const std::string dayStart = reg::utcText(reg::localMidnightBefore(now));
    // One row past the limit tells whether there are more.
    const auto orders =
        cards.ordersAtWork(dayStart, reg::utcText(now - kRecentWindow), kMaxOrders + 1);
    if (!orders) {
        return orders.error();
    }
    const auto latest = cards.latestAttempts(dayStart, kMaxStations);
    if (!latest) {
        return latest.error();
    }
    std::map<std::string, std::int64_t> latestIds;
    for (const reg::LatestAttempt& attempt : latest.value()) {
        latestIds[attempt.station] = attempt.id;
    }
    QJsonArray shown;
    QJsonArray stalled;
    for (std::size_t i = 0; i < orders.value().size() && i < kMaxOrders; ++i) {
        OrderJson made = orderJson(orders.value()[i], latestIds, now);
        shown.append(made.order);
        if (made.stalled) {
            stalled.append(*made.stalled);
        }
    }
    return QJsonObject{{"generatedAt", text(reg::utcText(now))},
                       {"since", text(dayStart)},
                       {"recentMinutes", static_cast<qint64>(kRecentWindow.count())},
                       {"stallMinutes", static_cast<qint64>(kStallAlarm.count())},
                       {"orders", shown},
                       {"ordersMore", orders.value().size() > kMaxOrders},
                       {"stalled", stalled}};
}

} // namespace zr::tools::serve
