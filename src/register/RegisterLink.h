#pragma once

#include "platform/EventLoop.h"
#include "platform/TcpSocket.h"
#include "register/CardRegister.h"

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>

namespace zr::reg {

// Keeps the station's register within reach. A register that cannot be opened at start-up,
// or that fails later (server gone, disk full, file made read-only), is unavailable: nothing
// is numbered while it is, and the link tries again every few seconds on the station's timer,
// never blocking the window (a server is first reached by a connection that does not wait,
// so an unreachable host costs nothing); once the register answers, the station goes on.
class RegisterLink {
  public:
    using Open = std::function<CardRegister::Result()>;
    struct Server {
        std::string host;
        int port = 0;
    };

    static constexpr std::uint32_t kRetryEveryMs = 5000;
    static constexpr std::uint32_t kProbeLimitMs = 3000;

    // `where` names the register in messages; `server` and `probe` (a socket of the link's
    // own) are given for a register on a server.
    RegisterLink(platform::EventLoop& loop, Open open, std::string where,
                 std::optional<Server> server, std::unique_ptr<platform::TcpSocket> probe);

    // The first open, once the callbacks are in place.
    void start() { tryOpen(); }

    // Null while the register is unavailable.
    CardRegister* cards() const { return available_ ? cards_.get() : nullptr; }
    const std::shared_ptr<CardRegister>& opened() const { return cards_; }
    const std::string& where() const { return where_; }
    // Why the register is unavailable (empty while it is available).
    const std::string& reason() const { return reason_; }

    // A call on the register failed: unavailable until a retry succeeds.
    void lost(const std::string& reason);

    // Runs when the register answers again; returning false keeps it unavailable (with the
    // reason given), e.g. when the rows kept meanwhile could not be stored.
    std::function<bool(CardRegister&, std::string& reason)> onBack;
    // Runs whenever the register becomes available or unavailable.
    std::function<void()> onChange;

  private:
    void retryIfDue();
    void tryOpen();
    void become(bool available, std::string reason);

    platform::EventLoop& loop_;
    Open open_;
    std::string where_;
    std::optional<Server> server_;
    std::unique_ptr<platform::TcpSocket> probe_;
    std::unique_ptr<platform::Timer> timer_;
    std::shared_ptr<CardRegister> cards_;
    bool available_ = false;
    std::string reason_;
    std::uint32_t lastTry_ = 0;
    std::optional<std::uint32_t> probeStarted_;
};

} // namespace zr::reg
