#pragma once

#include "protocol/ProgrammerLink.h"

// The programmer commands, one sender each. Every sender registers its name as the link's
// command in flight, sends its frame on the selected link and waits on its status flag;
// true when the command's success test held. A key box that is not one byte, or a card code outside
// 0 to 65535, is refused with a message in infoErr: nothing is sent and the result is false.
namespace zr::protocol {

// V3 layout (block 32).
bool SendV2LoginFixedKey(ProgrammerLink& link);
bool SendV2LoginTypedKey(ProgrammerLink& link);
bool SendV2ModifyKey(ProgrammerLink& link);
bool SendV2WriteCardCode(ProgrammerLink& link);
// Its callers look at txtResponseReadCard.
void SendV2ReadCardCode(ProgrammerLink& link);

bool SendReadUid(ProgrammerLink& link);

// V1 layout.
bool SendV1SelectType0(ProgrammerLink& link);
bool SendV1SelectType1(ProgrammerLink& link);
bool SendV1ModifyKey(ProgrammerLink& link);
bool SendV1LoginFixedKey(ProgrammerLink& link);
bool SendV1ModifyFixedKey(ProgrammerLink& link);
bool SendV1ReadCardCode(ProgrammerLink& link);
bool SendV1WriteCardCode(ProgrammerLink& link);

// Writes the controller frame (block from cboBlock, key from txtNewAKey) to the serial port
// in one buffer and returns without waiting; the reply is routed by currentCommand "120".
// With the port closed, or a block or key box that is not a byte, nothing is sent and
// infoErr says why.
void cmdSendKeyToController_Click(ProgrammerLink& link);

} // namespace zr::protocol
