#pragma once

#include "ProgrammerModel.h"
#include "keys/KeyProcedures.h"
#include "keys/SiteConfig.h"
#include "protocol/PortSearch.h"
#include "protocol/ProgrammerLink.h"
#include "protocol/Senders.h"
#include "recording/CardNumberFields.h"
#include "recording/CardRecordSink.h"
#include "recording/CardRuns.h"
#include "recording/Recorder.h"
#include "station/Station.h"
#include "support/Hex.h"
#include "support/VirtualPlatform.h"

#include <algorithm>
#include <deque>
#include <functional>
#include <map>
#include <optional>
#include <string>
#include <utility>
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

// A station with its programmer link and recorder, on the virtual clock, on COM1 to the
// simulator's programmer model, which answers 20 ms after each frame. Only the controls the
// recording tests raise are wired, each to the same recorder or sender call the window makes.
// `faults` replace the model's answer for frames starting with the given hex text: a reply text, or
// nothing (no answer).
struct RecordingRig {
    zr::testing::VirtualPlatform world;
    station::Station station{world.services};
    protocol::ProgrammerLink link{station};
    Recorder recorder{station, link};
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
    // Cards laid on one after the other, each `swapMs` after the card before was written.
    std::deque<std::string> queue;
    std::uint32_t swapMs = 500;
    // The stored card code at each number write the programmer received.
    std::vector<std::string> storedCodeAtWrite;

    RecordingRig() {
        station.site = keys::siteKeysFrom(keys::defaultSiteConfig());
        wireControls();
        recorder.setSink(&sink);
        sink.onWrite = [this](const WriteAttempt& attempt) {
            if (attempt.outcome == AttemptOutcome::Written && !queue.empty()) {
                world.loop.post(swapMs, [this] { layNext(); });
            }
        };
        world.serial.onWrite = [this](int, const std::vector<std::uint8_t>& frame) {
            answer(frame);
        };
        station.Form_Load();
        world.settings.saveCount = 0;
        station.chkLanguage.setValue(1);
    }

    RecordingRig(const RecordingRig&) = delete;
    RecordingRig& operator=(const RecordingRig&) = delete;

    void wireControls() {
        station.timerAutoRecord.onTimer = [this] { recorder.timerAutoRecord_Timer(); };
        station.chkAutoRecord.onClick = [this] { recorder.chkAutoRecord_Click(); };
        station.chkBlock.onClick = [this] { recorder.chkBlock_Click(); };
        station.cmdRecordBlock.onClick = [this] { recorder.cmdRecordBlock_Click(); };
        station.cmdReadBack.onClick = [this] { recorder.cmdReadBack_Click(); };

        const std::pair<station::Button*, bool (*)(protocol::ProgrammerLink&)> commands[] = {
            {&station.cmdReadUID, protocol::SendReadUid},
            {&station.cmd_V1_ModifyKey, protocol::SendV1ModifyKey},
            {&station.cmd_V3_WriteCardCode, protocol::SendV2WriteCardCode},
        };
        for (const auto& [button, sender] : commands) {
            button->onClick = [this, send = sender] {
                recorder.runCommand([this, send] { send(link); });
            };
        }
        station.cmd_V2_ReadCardCode.onClick = [this] {
            recorder.runCommand([this] { protocol::SendV2ReadCardCode(link); });
        };
        station.cmdSearchCOM.onClick = [this] {
            recorder.runOwnLinkCommand([this] { protocol::cmdSearchCOM_Click(link); });
        };

        // The step buttons and the key swap are disabled while a write runs; a click on its
        // way when they were is not carried out.
        station.cmdAdd.onClick = [this] {
            if (station.cmdAdd.enabled) {
                cmdAdd_Click(station);
            }
        };
        station.cmdDec.onClick = [this] {
            if (station.cmdDec.enabled) {
                cmdDec_Click(station);
            }
        };
        station.cmdSwitch.onClick = [this] {
            if (station.cmdSwitch.enabled) {
                keys::cmdSwitch_Click(station.txtAKey, station.txtNewAKey);
            }
        };
        station.txtGroupCode.onLostFocus = [this] {
            codeFieldLostFocus(station, station.txtGroupCode, station.txtCardCode);
        };
        station.txtCardCode.onLostFocus = [this] {
            codeFieldLostFocus(station, station.txtCardCode, station.txtGroupCode);
        };
        station.txtRunTarget.onLostFocus = [this] { txtRunTarget_LostFocus(station); };
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
    void startAutoRecording() {
        station.chkAutoAdd.setValue(1);
        station.chkAutoRecord.setValue(1);
    }

    void answer(const std::vector<std::uint8_t>& frame) {
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
        if (reply) {
            world.serial.deliverText(*reply, 20);
        }
    }

    std::vector<std::string> frames() const {
        std::vector<std::string> sent;
        for (const auto& frame : world.serial.written) {
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
