#include "Link.h"

#include "Console.h"

#include <algorithm>

namespace zr::sim {

Link::Link(std::string name) : name_(std::move(name)) {
    clock_.start();
    timer_.setSingleShot(true);
    timer_.setTimerType(Qt::PreciseTimer);
    QObject::connect(&timer_, &QTimer::timeout, [this] { sendDuePieces(); });
}

void Link::queueReply(const QByteArray& reply, std::chrono::milliseconds delay, int pieces) {
    if (reply.isEmpty()) {
        return;
    }
    const qsizetype count = std::clamp<qsizetype>(pieces, 1, reply.size());
    const qsizetype size = (reply.size() + count - 1) / count;
    if (queue_.size() + static_cast<std::size_t>(count) > kMaxQueuedPieces) {
        complain(name_ + ": too many replies waiting; this one is dropped");
        return;
    }
    qint64 due = clock_.elapsed() + delay.count();
    if (!queue_.empty()) {
        due = std::max(due, queue_.back().dueMs + kPieceGap.count());
    }
    for (qsizetype offset = 0; offset < reply.size(); offset += size) {
        queue_.push_back({due, reply.mid(offset, size)});
        due += kPieceGap.count();
    }
    armTimer();
}

void Link::bytesArrived(std::span<const std::uint8_t> bytes) {
    for (const CutPiece& piece : cutter_.feed(bytes, clock_.elapsed())) {
        if (handler_) {
            handler_(*this, piece);
        }
    }
}

void Link::forgetConversation() {
    cutter_.reset();
    queue_.clear();
    timer_.stop();
}

void Link::sendDuePieces() {
    const qint64 now = clock_.elapsed();
    while (!queue_.empty() && queue_.front().dueMs <= now) {
        const QByteArray bytes = queue_.front().bytes;
        queue_.pop_front();
        writeBytes(bytes);
    }
    armTimer();
}

void Link::armTimer() {
    if (queue_.empty()) {
        return;
    }
    const qint64 wait = std::max<qint64>(0, queue_.front().dueMs - clock_.elapsed());
    timer_.start(static_cast<int>(wait));
}

} // namespace zr::sim
