#pragma once

#include "keys/SiteConfig.h"
#include "protocol/Exchange.h"
#include "protocol/ProgrammerLink.h"
#include "station/Station.h"
#include "support/Hex.h"
#include "support/VirtualPlatform.h"

#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <vector>

namespace zr::protocol::test {

using Bytes = std::vector<std::uint8_t>;

using zr::testing::hex;

// A station on the virtual clock, linked over COM1 (or TCP) to a fake programmer that
// answers frames from a table after a short delay; unknown frames go unanswered.
struct StationRig {
    static constexpr std::uint32_t kAnswerDelayMs = 20;

    zr::testing::VirtualPlatform world;
    station::Station station{world.services};
    ProgrammerLink link{station};
    std::map<std::string, std::string> answers; // frame in hex -> reply text

    explicit StationRig(const std::string& linkType = "COM") {
        const keys::SiteConfig site = keys::defaultSiteConfig();
        station.site.loginKey = site.loginKey;
        station.site.v1CardKey = site.v1CardKey;
        station.site.mask1 = site.masks.m1;
        station.site.mask2 = site.masks.m2;
        station.site.mask3 = site.masks.m3;
        station.connType = linkType;
        world.serial.onWrite = [this](int, const Bytes& frame) { answer(frame, false); };
        world.tcp.onSend = [this](const Bytes& frame) { answer(frame, true); };
        if (linkType == "TCPIP") {
            world.tcp.reachable = {"127.0.0.1:101"};
            world.tcp.connectToHost("127.0.0.1", 101);
            world.loop.runFor(10);
        } else {
            world.serial.open(1);
        }
    }

    void answer(const Bytes& frame, bool overTcp) {
        const auto it = answers.find(hex(frame));
        if (it == answers.end()) {
            return;
        }
        if (overTcp) {
            world.tcp.deliverText(it->second, kAnswerDelayMs);
        } else {
            world.serial.deliverText(it->second, kAnswerDelayMs);
        }
    }

    // Frames sent on the selected link, in hex, and the ticks they left at.
    std::vector<std::string> sentFrames() const {
        std::vector<std::string> frames;
        for (const auto& sent : sentOnLink()) {
            frames.push_back(hex(sent.bytes));
        }
        return frames;
    }
    std::vector<std::uint64_t> sendTicks() const {
        std::vector<std::uint64_t> ticks;
        for (const auto& sent : sentOnLink()) {
            ticks.push_back(sent.tick);
        }
        return ticks;
    }
    const std::vector<platform::SentFrame>& sentOnLink() const {
        return station.connType == "TCPIP" ? world.tcp.sent : world.serial.written;
    }
    std::uint64_t now() const { return world.loop.now(); }

    // `count` requests of `command` are open and their sender waits, as while it runs.
    void awaitReplies(const std::string& command, int count = 1) {
        link.currentCommand = command;
        waiting.emplace(link.requests);
        for (int i = 0; i < count; ++i) {
            link.requests.sent(command, station.tickCount());
        }
    }
    std::optional<station::RequestLedger::WaitingSender> waiting;
};

} // namespace zr::protocol::test
