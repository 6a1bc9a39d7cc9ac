#include "recording/LinkReasons.h"

#include <string>

namespace zr::recording {

station::AlarmText linkClosedReason(const protocol::ProgrammerLink& programmer) {
    const station::Station& station = programmer.station();
    const std::string link = station.connType == "TCPIP"
                                 ? "TCP/IP " + station.txtIP.text() + ":" + station.txtPORT.text()
                                 : "COM" + std::to_string(station.cboCOM.listIndex() + 1);
    return {"與卡機的連線（" + link + "）未開啟：請選擇 COM 或 TCP/IP 連線，並檢查連接線。",
            "The link to the programmer (" + link +
                ") is not open: choose COM or TCP/IP and check the cable."};
}

} // namespace zr::recording
