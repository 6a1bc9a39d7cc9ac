#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <vector>

namespace zr::sim {

enum class PieceKind {
    Frame,   // one complete request frame
    Dropped, // bytes that could not belong to any frame
};

struct CutPiece {
    PieceKind kind = PieceKind::Frame;
    std::vector<std::uint8_t> bytes;

    bool operator==(const CutPiece&) const = default;
};

// Cuts the request byte stream into frames by their length byte.
//
// Resynchronisation: a pending frame start that cannot be a frame (a length byte no command has,
// an unknown command code, a controller frame whose count byte is not 0x0C) loses its first byte
// and the bytes after it are examined again. A partial frame that sees no new byte for longer
// than the stale limit is dropped when the next bytes arrive, so a frame cut short on the line
// cannot swallow the sender's next attempt.
class FrameCutter {
  public:
    static constexpr std::int64_t kDefaultStaleAfterMs = 150;
    static constexpr std::size_t kMaxDroppedRun = 32;

    explicit FrameCutter(std::int64_t staleAfterMs = kDefaultStaleAfterMs);

    // Pieces in stream order; dropped bytes are reported in runs of at most kMaxDroppedRun.
    std::vector<CutPiece> feed(std::span<const std::uint8_t> bytes, std::int64_t nowMs);
    void reset();
    std::size_t pendingSize() const { return pending_.size(); }

  private:
    enum class Verdict { Complete, NeedMore, Invalid };

    Verdict judgePending() const;
    void dropByte(std::uint8_t byte, std::vector<CutPiece>& out);
    void flushDropped(std::vector<CutPiece>& out);

    std::int64_t staleAfterMs_;
    std::int64_t lastArrivalMs_ = 0;
    std::vector<std::uint8_t> pending_;
    std::vector<std::uint8_t> dropped_;
};

} // namespace zr::sim
