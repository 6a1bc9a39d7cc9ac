#pragma once

#include "ProgrammerModel.h"
#include "keys/KeyProcedures.h"
#include "keys/SiteConfig.h"
#include "recording/CardRecordSink.h"
#include "support/Hex.h"
#include "support/VirtualPlatform.h"
#include "window/MainWindow.h"

#include <algorithm>
#include <deque>
#include <functional>
#include <map>
#include <optional>
#include <string>
#include <vector>

namespace zr::recording::test {

using zr::testing::hex;

// Keeps every write attempt and read-back; refuses writes while `refuse` is set, and gives
// a card `ownNumber` back as its own when set.
struct MemorySink final : CardRecordSink {
    bool recordWrite(const WriteAttempt& attempt) override {
        writes.push_back(attempt);
        if (onWrite) {
            onWrite(attempt);
        }
        return !refuse;
    }
    void recordReadBack(const ReadBackResult& result) override {
        readBacks.push_back(result);
        if (onReadBack) {
            onReadBack(result);
        }
    }
    std::optional<NumberClaim> claimCardCode(const std::string&, const std::string&,
                                             const std::string& cardCode) override {
        return ownNumber ? NumberClaim{.cardCode = *ownNumber, .cardsOwnNumber = true}
                         : NumberClaim{.cardCode = cardCode};
    }
    std::function<void(const WriteAttempt&)> onWrite;
    std::function<void(const ReadBackResult&)> onReadBack;
    std::optional<std::string> ownNumber; // the number the card holds already, if any

    std::vector<WriteAttempt> writes;
    std::vector<ReadBackResult> readBacks;
    bool refuse = false;
};

// A whole station (the window's procedures) on the virtual clock, on COM1 to the simulator's
// programmer model, which answers 20 ms after each frame. `faults` replace the model's answer
// for frames starting with the given hex text: a reply text, or nothing (no answer).
struct RecordingRig {
    // How long the programmer takes to answer: UID reads and everything else.
    std::uint32_t answerDelayMs = 20;
    std::uint32_t uidAnswerDelayMs = 20;

    zr::testing::VirtualPlatform world;
    window::MainWindow station{world.services};
    sim::ProgrammerModel programmer;
    MemorySink sink;
    std::map<std::string, std::optional<std::string>> faults;
    // Used up one per frame, before `faults`: the next frame starting with `prefix` is
    // answered `reply` (nothing: no answer); with `carriedOut` the programmer did what it
    // asked and only its answer is replaced.
    struct OneOff {
        std::string prefix;
        std::optional<std::string> reply;
        bool carriedOut = false;
    };
    std::deque<OneOff> oneOffs;
    // Pieces each reply is delivered in, 5 ms apart.
    int replyPieces = 1;
    // Cards laid on one after the other, each `swapMs` after the card before was written.
    std::deque<std::string> queue;
    std::uint32_t swapMs = 500;
    // The stored card code at each number write the programmer received.
    std::vector<std::string> storedCodeAtWrite;

    RecordingRig() {
        station.site = keys::siteKeysFrom(keys::defaultSiteConfig());
        station.setCardRecordSink(&sink);
        sink.onWrite = [this](const WriteAttempt& attempt) {
            if (attempt.outcome == AttemptOutcome::Written && !queue.empty()) {
                world.loop.post(swapMs, [this] { layNext(); });
            }
        };
        world.serial.onWrite = [this](int, const std::vector<std::uint8_t>& frame) {
            answer(frame, false);
        };
        world.tcp.onSend = [this](const std::vector<std::uint8_t>& frame) { answer(frame, true); };
        station.Form_Load();
        world.settings.saveCount = 0;
        station.chkLanguage.setValue(1);
    }

    void layNext() {
        programmer.layCard(queue.front());
        queue.pop_front();
    }
    // Queues `count` cards from `firstUid` on and lays the first.
    void queueCards(unsigned long long firstUid, int count) {
        for (int i = 0; i < count; ++i) {
            queue.push_back(std::to_string(firstUid + static_cast<unsigned>(i)));
        }
        layNext();
    }
    // The programmer on the TCP link instead of COM1.
    void useTcp() {
        world.tcp.reachable = {"127.0.0.1:101"};
        station.txtIP.setText("127.0.0.1");
        station.sbTCPIP.click();
    }
    void startAutoRecording() {
        station.chkAutoAdd.setValue(1);
        station.chkAutoRecord.setValue(1);
    }

    void answer(const std::vector<std::uint8_t>& frame, bool overTcp) {
        const std::string sent = hex(frame);
        if (sent.rfind("06 09", 0) == 0) {
            const auto stored = world.settings.values.find("CardCode");
            storedCodeAtWrite.push_back(stored == world.settings.values.end() ? ""
                                                                              : stored->second);
        }
        std::optional<std::string> reply;
        bool faulted = false;
        const auto oneOff = std::find_if(oneOffs.begin(), oneOffs.end(), [&](const OneOff& f) {
            return sent.rfind(f.prefix, 0) == 0;
        });
        if (oneOff != oneOffs.end()) {
            if (oneOff->carriedOut) {
                programmer.answer(frame);
            }
            reply = oneOff->reply;
            faulted = true;
            oneOffs.erase(oneOff);
        } else {
            for (const auto& [prefix, fault] : faults) {
                if (sent.rfind(prefix, 0) == 0) {
                    reply = fault;
                    faulted = true;
                }
            }
        }
        if (!faulted) {
            reply = programmer.answer(frame);
        }
        if (!reply) {
            return;
        }
        const std::size_t pieceSize = (reply->size() + replyPieces - 1) / replyPieces;
        for (std::size_t at = 0, n = 0; at < reply->size(); at += pieceSize, ++n) {
            const std::string piece = reply->substr(at, pieceSize);
            const auto delay = (sent == "01 00" ? uidAnswerDelayMs : answerDelayMs) +
                               static_cast<std::uint32_t>(5 * n);
            if (overTcp) {
                world.tcp.deliverText(piece, delay);
            } else {
                world.serial.deliverText(piece, delay);
            }
        }
    }

    std::vector<std::string> frames() const {
        std::vector<std::string> sent;
        for (const auto& frame :
             station.connType == "TCPIP" ? world.tcp.sent : world.serial.written) {
            sent.push_back(hex(frame.bytes));
        }
        return sent;
    }
    // The command codes sent, "00" for a UID read, "09" for a write...
    std::vector<std::string> codes() const {
        std::vector<std::string> sent;
        for (const auto& frame : frames()) {
            sent.push_back(frame.substr(3, 2));
        }
        return sent;
    }
    std::vector<int> toneFrequencies() const {
        std::vector<int> tones;
        for (const auto& tone : world.tone.tones) {
            tones.push_back(tone.frequencyHz);
        }
        return tones;
    }
};

} // namespace zr::recording::test
