
#include "FrameCutter.h"
#include "ProgrammerFrames.h"
#include "ProgrammerModel.h"

#include <algorithm>
#include <span>

namespace zr::sim {

namespace {

void require(bool condition) {
    if (!condition) {
        __builtin_trap();
    }
}

bool isPlausibleReply(const std::string& reply, const std::string& uid) {
    if (reply == kReplyOk || reply == kReplyNo || reply == uid) {
        return true;
    }
    return reply.size() == 10 &&
           std::all_of(reply.begin(), reply.end(), [](char c) { return c >= '0' && c <= '9'; });
}

} // namespace

void runFrameFuzzInput(const std::uint8_t* data, std::size_t size) {
    if (size < 2) {
        return;
    }
    const std::size_t chunk = std::size_t{data[0]} % 16 + 1;
    const std::int64_t step = data[1];
    const std::span<const std::uint8_t> stream(data + 2, size - 2);

    const std::string uid = "0123456789";
    FrameCutter cutter;
    ProgrammerModel model;
    model.layCard(uid);
    std::size_t accounted = 0;
    std::int64_t now = 0;
    for (std::size_t offset = 0; offset < stream.size(); offset += chunk, now += step) {
        const auto arrival = stream.subspan(offset, std::min(chunk, stream.size() - offset));
        for (const CutPiece& piece : cutter.feed(arrival, now)) {
            require(!piece.bytes.empty() && piece.bytes.size() <= kMaxFrameLength + 32);
            accounted += piece.bytes.size();
            if (piece.kind == PieceKind::Dropped) {
                require(piece.bytes.size() <= FrameCutter::kMaxDroppedRun);
                continue;
            }
            require(piece.bytes.size() <= kMaxFrameLength);
            require(isPlausibleReply(model.answer(piece.bytes), uid));
        }
        require(cutter.pendingSize() < kMaxFrameLength);
    }
    require(accounted + cutter.pendingSize() == stream.size());
}

} // namespace zr::sim

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    zr::sim::runFrameFuzzInput(data, size);
    return 0;
}
