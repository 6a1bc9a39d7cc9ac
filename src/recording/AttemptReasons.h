#pragma once

#include "recording/CardRecordSink.h"
#include "station/AlarmLine.h"

#include <optional>

// What the alarm line says about a failed write attempt, in both languages: which step
// failed, what the programmer answered, and what to do.
namespace zr::recording {

// The reason of a failed attempt (the attempt's failedStep is set).
station::AlarmText failureReason(const WriteAttempt& attempt);

// An alarm that must stay until acknowledged: a card left holding its number in a layout (or
// possibly holding it, after an unanswered write), or a card the programmer refused outright.
std::optional<station::AlarmText> failureAlarm(const WriteAttempt& attempt);

} // namespace zr::recording
