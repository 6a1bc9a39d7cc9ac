#pragma once

#include "platform/ToneGenerator.h"
#include "station/Controls.h"

namespace zr::recording {

// 4000 Hz 500/100/100 ms for a failure; 4000 then 2000 Hz, 100 ms each, for a success;
// each only while chkSound is checked.
void failureTones(const station::CheckBox& chkSound, platform::ToneGenerator& tone);
void successTones(const station::CheckBox& chkSound, platform::ToneGenerator& tone);

} // namespace zr::recording
