#include "station/MainWindow.h"

namespace zr::station {

MainWindow::MainWindow(platform::Platform& platform) : Station(platform) {}

} // namespace zr::station
