#pragma once

#include "protocol/ProgrammerLink.h"

#include <string_view>

// Finding the programmer's serial port: each port in turn gets a UID probe written straight
// to the serial line, and the first one on which a UID shows up is kept.
namespace zr::protocol {

// The request name of the UID probe, the only direct transaction there is.
inline constexpr std::string_view kProbeRequest = "ReadCardNumber";

// Writes the probe to the serial port between two 100 ms pauses, registered as "ReadUID" so
// the reply fills txtUID. With the serial link selected and the port closed it only shows
// the port error. An unknown request name sends nothing.
void SendDirectCommand(ProgrammerLink& link, std::string_view requestName);

// Click of cmdSearchCOM: selects every entry of cboCOM in turn until a UID arrives. The
// found entry stays selected; without a find the last entry stays selected, silently.
void cmdSearchCOM_Click(ProgrammerLink& link);

} // namespace zr::protocol
