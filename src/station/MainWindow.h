#pragma once

#include "station/Station.h"

namespace zr::station {

// The station object with every event procedure of the window. The procedures are thin:
// each hands its work to the subsystem that owns it.
class MainWindow : public Station {
  public:
    explicit MainWindow(platform::Platform& platform);
};

} // namespace zr::station
