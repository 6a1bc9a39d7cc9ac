#pragma once

#include "protocol/Frames.h"
#include "station/RequestLedger.h"
#include "station/Station.h"

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>

// The conversation with the programmer in one place: the command in flight, the requests
// still open on the link and who waits for them, sending on the link the station selected,
// and the link's receive and drop events.
namespace zr::protocol {

// Whether a sender waits for the reply to a frame written to the serial port. Nobody waits
// for the controller's answer to its key; see RequestLedger::sent.
enum class ReplyAwaited { BySender, ByNobody };

class ProgrammerLink {
  public:
    // Takes the platform's receive and drop events of the station's serial port and socket
    // for as long as it lives. The replies fill the station's controls.
    explicit ProgrammerLink(station::Station& station);
    ~ProgrammerLink();
    ProgrammerLink(const ProgrammerLink&) = delete;
    ProgrammerLink& operator=(const ProgrammerLink&) = delete;

    // The window's controls the senders read and the replies fill, and the station's clock.
    station::Station& station() { return station_; }
    const station::Station& station() const { return station_; }

    // False for "COM" with the port closed or "TCPIP" without a connection; any other link
    // type passes (and sends nothing).
    bool linkUp() const;
    // Sends a request frame on the link that connType selects; nothing for any other value.
    // A frame that went out is an open request until its reply is read (requests).
    void sendFrame(const Frame& frame);
    // Sends a frame on the serial port whatever the link (the port search, the controller).
    void sendSerialFrame(std::span<const std::uint8_t> frame,
                         ReplyAwaited awaited = ReplyAwaited::BySender);

    // The link went away: the requests still open are lost with it, then the station shows
    // the drop.
    void Winsock1_Close();
    void MsComm1_DeviceLost();

    // The command whose replies are being waited for; replies are routed by it.
    std::string currentCommand;
    // The attempt count the senders that rebuild their frame for every attempt share.
    std::int16_t retryCount = 0;
    // The requests on the link whose replies have not come yet, and who waits for them.
    station::RequestLedger requests;

  private:
    station::Station& station_;
};

} // namespace zr::protocol
