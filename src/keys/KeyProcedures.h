#pragma once

#include "keys/KeyBoxes.h"
#include "keys/SiteConfig.h"
#include "station/SiteKeys.h"
#include "station/Station.h"

// The station's key procedures: the key boxes, the swap of the two A-key rows, the
// administrator unlock and the key derived from the card UID. The window's event procedures
// call these; the UID reply derives the key with the same procedure.
namespace zr::keys {

// The input box of the administrator unlock and the code that opens it. The unlock only
// enlarges the window; it guards nothing.
inline constexpr const char* kAdminPrompt = "Administrator Code";
inline constexpr const char* kAdminTitle = "Admin";
inline constexpr std::string_view kAdminCode = "mavrolint";
inline constexpr int kUnlockedSize1 = 12800;
inline constexpr int kUnlockedSize2 = 8777;

// Leaving a key box: its text in upper case.
void keyBoxLostFocus(station::TextBox& box);

// The six boxes of one key row.
using KeyRowBoxes = station::ControlArray<station::TextBox, kKeyLength>;

// Exchanges the texts of txtAKey and txtNewAKey box by box, exactly as they stand.
void cmdSwitch_Click(KeyRowBoxes& aKey, KeyRowBoxes& newAKey);

// Asks for the administrator code; exactly kAdminCode sets size 1 and then size 2 to the
// unlocked sizes. Any other answer, Cancel included, does nothing.
void lblCaption_DblClick(station::Station& station);

// The key derived from txtUID with the site's masks, into both A-key rows as box texts.
// A UID that gives no key leaves both rows as they are.
void cmdCalculate_A_Key_Click(station::Station& station);

// The site configuration as the station carries it.
station::SiteKeys siteKeysFrom(const SiteConfig& config);

} // namespace zr::keys
