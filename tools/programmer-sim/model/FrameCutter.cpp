#include "FrameCutter.h"

#include "ProgrammerFrames.h"

namespace zr::sim {

FrameCutter::FrameCutter(std::int64_t staleAfterMs) : staleAfterMs_(staleAfterMs) {
    pending_.reserve(kMaxFrameLength);
    dropped_.reserve(kMaxDroppedRun);
}

void FrameCutter::reset() {
    pending_.clear();
    dropped_.clear();
}

std::vector<CutPiece> FrameCutter::feed(std::span<const std::uint8_t> bytes, std::int64_t nowMs) {
    std::vector<CutPiece> out;
    if (bytes.empty()) {
        return out;
    }
    if (!pending_.empty() && nowMs - lastArrivalMs_ > staleAfterMs_) {
        for (const std::uint8_t byte : pending_) {
            dropByte(byte, out);
        }
        pending_.clear();
    }
    lastArrivalMs_ = nowMs;

    for (const std::uint8_t byte : bytes) {
        pending_.push_back(byte);
        while (!pending_.empty()) {
            const Verdict verdict = judgePending();
            if (verdict == Verdict::NeedMore) {
                break;
            }
            if (verdict == Verdict::Complete) {
                flushDropped(out);
                out.push_back({PieceKind::Frame, pending_});
                pending_.clear();
                break;
            }
            dropByte(pending_.front(), out);
            pending_.erase(pending_.begin());
        }
    }
    flushDropped(out);
    return out;
}

FrameCutter::Verdict FrameCutter::judgePending() const {
    const std::uint8_t first = pending_[0];
    if (first == kControllerFrameStart) {
        if (pending_.size() >= 2 && pending_[1] != kControllerCountByte) {
            return Verdict::Invalid;
        }
        return pending_.size() < kControllerFrameLength ? Verdict::NeedMore : Verdict::Complete;
    }
    if (!isRequestLengthByte(first)) {
        return Verdict::Invalid;
    }
    if (pending_.size() < 2) {
        return Verdict::NeedMore;
    }
    const auto operands = operandCount(pending_[1]);
    if (!operands || *operands + 1 != first) {
        return Verdict::Invalid;
    }
    return pending_.size() < std::size_t{first} + 1 ? Verdict::NeedMore : Verdict::Complete;
}

void FrameCutter::dropByte(std::uint8_t byte, std::vector<CutPiece>& out) {
    dropped_.push_back(byte);
    if (dropped_.size() == kMaxDroppedRun) {
        flushDropped(out);
    }
}

void FrameCutter::flushDropped(std::vector<CutPiece>& out) {
    if (dropped_.empty()) {
        return;
    }
    out.push_back({PieceKind::Dropped, dropped_});
    dropped_.clear();
}

} // namespace zr::sim
