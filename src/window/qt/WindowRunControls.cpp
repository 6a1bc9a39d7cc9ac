// The run of cards and the verification option: beside the sound and automatic-recording rows
// (x 3300..9320, y 2610..3540), free space of the operator's area above the work buttons; the
// order the bench works right of the card number (x 6560..9320, y 1080..1425).
#include "window/qt/WindowLayout.h"

namespace zr::window::qt {

const std::vector<Place>& runControlsLayout() {
    static const std::vector<Place> places = {
        {"chkVerify", 3300, 2610, 360, 360, FontKind::Normal, "lblVerify"},
        {"lblVerify", 3720, 2647, 1600, 285},
        {"lblRunTarget", 5400, 2647, 1500, 285},
        {"txtRunTarget", 6950, 2610, 1200, 345, FontKind::Normal, "lblRunTarget"},
        {"prgRun", 3300, 3000, 2000, 330, FontKind::Normal, "", "Run progress"},
        {"lblRunStatus", 5400, 3000, 3920, 540, FontKind::Normal, "", "Run status"},
        // Right of the card number, whose fields an order's cards do not use.
        {"lblOrder", 6560, 1110, 700, 285},
        {"cboOrder", 7300, 1080, 2020, 345, FontKind::Normal, "lblOrder"},
    };
    return places;
}

} // namespace zr::window::qt
