#pragma once

#include "base/Result.h"
#include "register/CardRegister.h"

#include <QByteArray>
#include <QJsonObject>
#include <chrono>

// The live page's views: register queries turned into JSON. Times are the register's UTC
// texts (ISO 8601); the page shows them in the viewer's local time.
namespace zr::tools::serve {

inline constexpr int kMaxStations = 100;
inline constexpr int kMaxRanges = 50;
inline constexpr int kMaxAlarmRows = 20;
inline constexpr int kLastAttempts = 20;
inline constexpr int kFailuresInRowAlarm = 3;
inline constexpr std::chrono::minutes kRecentWindow{15};

using View = base::Result<QJsonObject, reg::RegisterError>;
using Now = std::chrono::system_clock::time_point;
using ViewMaker = View (*)(reg::CardRegister&, Now);

// Per station since the server's local midnight: written, failed, partly written, cards per
// hour over the recent window, the latest attempt.
View stationsView(reg::CardRegister& cards, Now now);
// Per station and group today: lowest to highest code written and how much of it is done.
View rangesView(reg::CardRegister& cards, Now now);
// Numbers on two cards among those with an attempt today (`zr-register duplicates` checks
// every number), partly written cards not written since (today), and stations whose latest
// attempts today failed in a row.
View alarmsView(reg::CardRegister& cards, Now now);
View attemptsView(reg::CardRegister& cards, Now now);

// Compact JSON with '<', '>' and '&' escaped as \u sequences, so no register text can
// close a script or start markup wherever the bytes end up.
QByteArray jsonBytes(const QJsonObject& object);

} // namespace zr::tools::serve
