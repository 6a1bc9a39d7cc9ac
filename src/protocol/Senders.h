#pragma once

#include "station/Station.h"

// The programmer commands, one sender each. Every sender registers its name as the command
// in flight, sends its frame on the selected link and waits on its status flag; true when
// the command's success test held. A key box that is not one byte, or a card code outside
// 0 to 65535, is refused with a message in infoErr: nothing is sent and the result is false.
namespace zr::protocol {

// V3 layout (block 32).
bool SendV2LoginFixedKey(station::Station& station);
bool SendV2LoginTypedKey(station::Station& station);
bool SendV2ModifyKey(station::Station& station);
bool SendV2WriteCardCode(station::Station& station);
// Its callers look at txtResponseReadCard.
void SendV2ReadCardCode(station::Station& station);

bool SendReadUid(station::Station& station);

// V1 layout.
bool SendV1SelectType0(station::Station& station);
bool SendV1SelectType1(station::Station& station);
bool SendV1ModifyKey(station::Station& station);
bool SendV1LoginFixedKey(station::Station& station);
bool SendV1ModifyFixedKey(station::Station& station);
bool SendV1ReadCardCode(station::Station& station);
bool SendV1WriteCardCode(station::Station& station);

} // namespace zr::protocol
