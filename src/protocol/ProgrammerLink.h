#pragma once

#include "protocol/Frames.h"
#include "station/RequestLedger.h"
#include "station/Station.h"

#include <cstddef>
#include <cstdint>
#include <functional>
#include <span>
#include <string>

// The conversation with the programmer in one place: choosing and opening the link, the
// command in flight, the requests still open on it and who waits for them, sending, the
// link's receive and drop events, and the one wait every exchange pumps events in.
namespace zr::protocol {

// Whether a sender waits for the reply to a frame written to the serial port. Nobody waits
// for the controller's answer to its key; see RequestLedger::sent.
enum class ReplyAwaited { BySender, ByNobody };

class ProgrammerLink {
  public:
    // Takes the platform's receive and drop events of the station's serial port and socket,
    // and the clicks of the link controls (cboCOM, sbCOM, sbTCPIP, sbConnect), for as long as
    // it lives. The replies fill the station's controls.
    explicit ProgrammerLink(station::Station& station);
    ~ProgrammerLink();
    ProgrammerLink(const ProgrammerLink&) = delete;
    ProgrammerLink& operator=(const ProgrammerLink&) = delete;

    // The window's controls the senders read and the replies fill, and the station's clock.
    station::Station& station() { return station_; }
    const station::Station& station() const { return station_; }

    // --- Choosing and opening the link (the link controls' clicks) ---------------------------
    void cboCOM_Click();
    void sbCOM_Click();
    void sbTCPIP_Click();
    void sbConnect_Click();
    // Opens the selected link again without the operator (automatic recording after a drop):
    // the serial port at once, the TCP socket within the reply wait. True when it is up.
    bool reconnectLink();
    // False for "COM" with the port closed or "TCPIP" without a connection; any other link
    // type passes (and sends nothing).
    bool linkUp() const;

    // --- Sending ------------------------------------------------------------------------------
    // Sends a request frame on the link that connType selects; nothing for any other value.
    // A frame that went out is an open request until its reply is read (requests).
    void sendFrame(const Frame& frame);
    // Sends a frame on the serial port whatever the link (the port search, the controller).
    void sendSerialFrame(std::span<const std::uint8_t> frame,
                         ReplyAwaited awaited = ReplyAwaited::BySender);

    // The link went away: the requests still open are lost with it, the caption turns red
    // and the operator is told.
    void Winsock1_Close();
    void MsComm1_DeviceLost();

    // --- Waiting --------------------------------------------------------------------------------
    // The one wait: pumps events until `done` holds (true) or more than the limit has passed
    // since the call (false). The limit is read afresh on every pass, so a changed txtInterval
    // counts at once. Sleeps between events; never spins.
    bool waitWithEvents(const std::function<double()>& limitMs,
                        const std::function<bool()>& done = {});
    bool waitWithEvents(double limitMs, const std::function<bool()>& done = {});
    // Pumps events until more than `ms` milliseconds have passed.
    void DelayWithEvents(std::int32_t& ms);
    // Pumps events once, sleeping until an event or the tick `wakeAt`.
    void pump(std::uint32_t wakeAt);
    // True once more than `limitMs` milliseconds have passed since the tick `start`.
    bool elapsedBeyond(std::uint32_t start, double limitMs) const;

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
