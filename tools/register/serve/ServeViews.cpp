#include "tools/register/serve/ServeViews.h"

#include <QJsonArray>
#include <QJsonDocument>

namespace zr::tools::serve {
namespace {

QString text(const std::string& value) {
    return QString::fromStdString(value);
}

QJsonObject attemptJson(const reg::WriteRow& row) {
    return {{"id", static_cast<qint64>(row.id)},
            {"time", text(row.time)},
            {"station", text(row.station)},
            {"uid", text(row.uid)},
            {"number", text(reg::numberText(row.group, row.card))},
            {"group", row.group},
            {"card", row.card},
            {"lock", row.lock},
            {"v1", text(row.v1)},
            {"v3", text(row.v3)},
            {"outcome", text(row.outcome)}};
}

QJsonArray attemptsJson(const std::vector<reg::WriteRow>& rows, std::size_t limit) {
    QJsonArray array;
    for (std::size_t i = 0; i < rows.size() && i < limit; ++i) {
        array.append(attemptJson(rows[i]));
    }
    return array;
}

std::string dayStart(Now now) {
    return reg::utcText(reg::localMidnightBefore(now));
}

QJsonObject stamped(Now now) {
    return {{"generatedAt", text(reg::utcText(now))}};
}

} // namespace

View stationsView(reg::CardRegister& cards, Now now) {
    const std::string since = dayStart(now);
    const auto days = cards.stationDays(since, reg::utcText(now - kRecentWindow), kMaxStations);
    if (!days) {
        return days.error();
    }
    QJsonArray stations;
    constexpr auto kWindowsPerHour = std::chrono::hours(1) / kRecentWindow;
    for (const reg::StationDay& day : days.value()) {
        stations.append(
            QJsonObject{{"station", text(day.station)},
                        {"written", static_cast<qint64>(day.written)},
                        {"failed", static_cast<qint64>(day.failed)},
                        {"partlyWritten", static_cast<qint64>(day.partlyWritten)},
                        {"cardsPerHour", static_cast<qint64>(day.recentWritten * kWindowsPerHour)},
                        {"last", attemptJson(day.last)}});
    }
    QJsonObject view = stamped(now);
    view.insert("dayStart", text(since));
    view.insert("recentMinutes", static_cast<qint64>(kRecentWindow.count()));
    view.insert("stations", stations);
    return view;
}

View rangesView(reg::CardRegister& cards, Now now) {
    const std::string since = dayStart(now);
    const auto found = cards.rangesSince(since, kMaxRanges);
    if (!found) {
        return found.error();
    }
    QJsonArray ranges;
    for (const reg::RangeProgress& range : found.value()) {
        const int span = range.to - range.from + 1;
        ranges.append(QJsonObject{{"station", text(range.station)},
                                  {"group", range.group},
                                  {"from", range.from},
                                  {"to", range.to},
                                  {"first", text(reg::numberText(range.group, range.from))},
                                  {"last", text(reg::numberText(range.group, range.to))},
                                  {"written", static_cast<qint64>(range.written)},
                                  {"span", span},
                                  {"progress", static_cast<double>(range.written) / span},
                                  {"lastTime", text(range.lastTime)}});
    }
    QJsonObject view = stamped(now);
    view.insert("since", text(since));
    view.insert("ranges", ranges);
    return view;
}

View alarmsView(reg::CardRegister& cards, Now now) {
    const std::string since = dayStart(now);
    // One row past the limit tells whether there are more.
    const auto shared = cards.sharedNumbersSince(since, kMaxAlarmRows + 1);
    if (!shared) {
        return shared.error();
    }
    const auto partly = cards.openPartlyWritten(since, kMaxAlarmRows + 1);
    if (!partly) {
        return partly.error();
    }
    const auto runs = cards.failureRuns(since, kFailuresInRowAlarm, kMaxStations);
    if (!runs) {
        return runs.error();
    }
    QJsonArray numbers;
    for (std::size_t i = 0; i < shared.value().size() && i < kMaxAlarmRows; ++i) {
        const reg::SharedNumber& number = shared.value()[i];
        numbers.append(QJsonObject{{"number", text(reg::numberText(number.group, number.card))},
                                   {"group", number.group},
                                   {"card", number.card},
                                   {"cards", static_cast<qint64>(number.cards)}});
    }
    QJsonArray failures;
    for (const reg::FailureRun& run : runs.value()) {
        failures.append(QJsonObject{{"station", text(run.station)},
                                    {"failures", static_cast<qint64>(run.failures)}});
    }
    QJsonObject view = stamped(now);
    view.insert("since", text(since));
    view.insert("sharedNumbers", numbers);
    view.insert("sharedNumbersMore", shared.value().size() > kMaxAlarmRows);
    view.insert("partlyWritten", attemptsJson(partly.value(), kMaxAlarmRows));
    view.insert("partlyWrittenMore", partly.value().size() > kMaxAlarmRows);
    view.insert("failuresInRowAlarm", kFailuresInRowAlarm);
    view.insert("failureRuns", failures);
    return view;
}

View attemptsView(reg::CardRegister& cards, Now now) {
    const auto rows = cards.lastCards(kLastAttempts);
    if (!rows) {
        return rows.error();
    }
    QJsonObject view = stamped(now);
    view.insert("attempts", attemptsJson(rows.value(), kLastAttempts));
    return view;
}

QByteArray jsonBytes(const QJsonObject& object) {
    const QByteArray compact = QJsonDocument(object).toJson(QJsonDocument::Compact);
    QByteArray escaped;
    escaped.reserve(compact.size());
    // These characters only ever stand inside strings in JSON, where \u forms mean the same.
    for (const char c : compact) {
        switch (c) {
        case '<':
            escaped += "\\u003c";
            break;
        case '>':
            escaped += "\\u003e";
            break;
        case '&':
            escaped += "\\u0026";
            break;
        default:
            escaped += c;
        }
    }
    return escaped;
}

} // namespace zr::tools::serve
