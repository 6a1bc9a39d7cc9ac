#pragma once

#include "FrameCutter.h"

#include <QByteArray>
#include <QElapsedTimer>
#include <QTimer>
#include <chrono>
#include <deque>
#include <functional>
#include <span>
#include <string>
#include <string_view>

namespace zr::sim {

// One way in to the programmer (TCP client or pseudo-terminal). Cuts what arrives into frames
// and paces the replies that go back.
class Link {
  public:
    using PieceHandler = std::function<void(Link&, const CutPiece&)>;

    static constexpr std::chrono::milliseconds kPieceGap{5};
    // A peer that floods requests while replies are held back must not grow the queue forever.
    static constexpr std::size_t kMaxQueuedPieces = 256;

    explicit Link(std::string name);
    virtual ~Link() = default;
    Link(const Link&) = delete;
    Link& operator=(const Link&) = delete;

    const std::string& name() const { return name_; }
    void setPieceHandler(PieceHandler handler) { handler_ = std::move(handler); }

    // Sends reply after delay, cut into up to `pieces` parts a few milliseconds apart.
    void queueReply(const QByteArray& reply, std::chrono::milliseconds delay, int pieces);

    // Ends the present conversation (closes the client, hangs up the terminal).
    virtual void hangUp() = 0;

  protected:
    void bytesArrived(std::span<const std::uint8_t> bytes);
    // Forget half-cut frames and unsent replies: they belonged to a peer that is gone.
    void forgetConversation();
    virtual void writeBytes(const QByteArray& bytes) = 0;

  private:
    struct Pending {
        qint64 dueMs = 0;
        QByteArray bytes;
    };

    void sendDuePieces();
    void armTimer();

    std::string name_;
    PieceHandler handler_;
    FrameCutter cutter_;
    QElapsedTimer clock_;
    QTimer timer_;
    std::deque<Pending> queue_;
};

} // namespace zr::sim
