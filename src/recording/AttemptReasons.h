#pragma once

#include "recording/CardRecordSink.h"
#include "station/AlarmLine.h"

#include <optional>
#include <string_view>

// What the alarm line says about a failed write attempt, in both languages: which step
// failed, what the programmer answered, and what to do.
namespace zr::recording {

// The reason of a failed attempt (the attempt's failedStep is set).
station::AlarmText failureReason(const WriteAttempt& attempt);

// An alarm that must stay until acknowledged: a card left holding its number in a layout (or
// possibly holding it, after an unanswered write), or a card the programmer refused outright.
std::optional<station::AlarmText> failureAlarm(const WriteAttempt& attempt);

// The reason an operator's single command (by its command name) failed without an answer of
// its own, or with an unclear one; nothing when it was answered (the reply handler speaks
// then) or is no programmer command.
std::optional<station::AlarmText> commandFailureReason(std::string_view command,
                                                       ProgrammerAnswer answer);

// The alarm for a written card whose read-back does not give the number written.
station::AlarmText verifyFailureAlarm(const WriteAttempt& attempt, const ReadBackResult& readBack);

} // namespace zr::recording
