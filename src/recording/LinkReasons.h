#pragma once

#include "station/AlarmLine.h"
#include "station/Station.h"

// What the alarm line says when the operator asks for the programmer on a link that is not
// open: the command would otherwise end without a trace.
namespace zr::recording {

// Names the link (COM3, or TCP/IP and its address) and what to do, in both languages.
station::AlarmText linkClosedReason(const station::Station& station);

} // namespace zr::recording
