#pragma once

#include "station/Station.h"

// The station's card-number fields: what leaving a code field and the two step buttons do.
// The window's event procedures call these with the station and the controls concerned.
namespace zr::recording {

// The title of the modal boxes that refuse a code.
inline constexpr const char* kMessageBoxTitle = "ZR";

// Leaving txtGroupCode or txtCardCode: an accepted code is rewritten as five digits; a code
// above 65535 (or a pasted negative one) stays as typed; both codes 0, or a refused code,
// bring a modal message in the current language and send the focus back to `field`.
void codeFieldLostFocus(station::Station& station, station::TextBox& field,
                        const station::TextBox& otherField);

// txtCardCode one up (not beyond 65535) or one down (not below 1); the group code stays.
void cmdAdd_Click(station::Station& station);
void cmdDec_Click(station::Station& station);

} // namespace zr::recording
