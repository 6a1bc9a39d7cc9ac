#pragma once

#include "protocol/ProgrammerLink.h"
#include "station/Station.h"

#include <string>

// The one place where a programmer reply is interpreted: routed by the command in flight, it
// sets the waiting sender's status flag, fills the result fields, tells the operator, and
// adds the reply line to the traffic view.
namespace zr::protocol {

// The application title of the station's message boxes.
inline constexpr const char* kApplicationTitle = "ZR";

// `reply` is one non-empty reply text; it is not changed. Throws nothing of its own; after a
// UID it derives the card's key into the key rows, as cmdCalculate_A_Key does.
void DispatchReply(ProgrammerLink& link, std::string& reply);

// "寫碼失敗!" / "Write Card Number Fault!" in infoErr: a card-number write that did not land
// where it was meant to, whether the programmer said so or the workflow found it out.
void showWriteFault(station::Station& station);

} // namespace zr::protocol
