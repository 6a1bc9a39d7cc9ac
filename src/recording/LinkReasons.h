#pragma once

#include "protocol/ProgrammerLink.h"
#include "station/AlarmLine.h"

// What the alarm line says when the operator asks for the programmer on a link that is not
// open: the command would otherwise end without a trace.
namespace zr::recording {

// Names the link (COM3, or TCP/IP and its address) and what to do, in both languages.
station::AlarmText linkClosedReason(const protocol::ProgrammerLink& programmer);

} // namespace zr::recording
