#pragma once

#include "platform/sql/QtDatabase.h"
#include "recording/RecordingRig.h"
#include "register/RegisterSettings.h"
#include "register/RegisterSink.h"
#include "sim/SimStation.h"
#include "window/MainWindow.h"

#include <chrono>
#include <regex>
#include <thread>

// A run of cards recorded automatically against the real simulator, on the real Qt platform.
namespace zr::recording::test {

using protocol::test::Link;
using protocol::test::RunningSim;

// Tones that take their time (or none at all).
class SleepingToneGenerator final : public platform::ToneGenerator {
  public:
    explicit SleepingToneGenerator(bool sleeps) : sleeps_(sleeps) {}
    void beep(int /*frequencyHz*/, int durationMs) override {
        if (sleeps_) {
            std::this_thread::sleep_for(std::chrono::milliseconds(durationMs));
        }
    }

  private:
    bool sleeps_;
};

struct Removed {
    std::string uid;
    std::string v1;
    std::string v3;
};

// A whole station on the Qt platform linked to the simulator; cards come from its queue.
class RecordRun {
  public:
    // `replyDelayMs`: how long the programmer takes to answer. With `realTones` each tone
    // takes its time, as on the station's speaker.
    RecordRun(Link link, const std::string& ptyLink, int replyDelayMs, bool realTones = false)
        : sim_({"--pty-link", ptyLink, "--reply-delay", std::to_string(replyDelayMs)}),
          serial_(platform::PortMap{{1, ptyLink}}), tone_(realTones) {
        station_.site = keys::siteKeysFrom(keys::defaultSiteConfig());
        station_.setCardRecordSink(&sink_);
        if (link == Link::Pty) {
            station_.connType = "COM";
            station_.cboCOM.setListIndex(0);
        } else {
            station_.connType = "TCPIP";
            station_.txtIP.setText("127.0.0.1");
            station_.txtPORT.setText(std::to_string(sim_.tcpPort));
            station_.link().sbConnect_Click();
        }
    }

    bool ready() { return sim_.ready() && station_.link().linkUp(); }

    // Records into a register file as zr-station does; the memory sink still sees every
    // attempt, and a card the register refused is reported as such.
    void useRegister(const std::string& file) {
        registerLink_ = std::make_unique<reg::RegisterLink>(
            loop_,
            [file] {
                return reg::openRegister(
                    "sqlite:" + file, "bench-e2e", reg::CardRegister::Access::ReadWrite,
                    [](const platform::DatabaseAddress& at, platform::SqlError& error) {
                        return std::unique_ptr<platform::Database>(
                            platform::QtDatabase::open(at, error));
                    },
                    [] { return std::chrono::system_clock::now(); });
            },
            file, std::nullopt, nullptr);
        journal_ = std::make_unique<reg::RegisterJournal>(journalFile_);
        register_ = std::make_unique<reg::RegisterSink>(
            station_, *registerLink_, *journal_, false,
            [] { return std::chrono::system_clock::now(); }, [](const std::string&) {});
        chain_.front = register_.get();
        chain_.back = &sink_;
        station_.setCardRecordSink(&chain_);
    }
    reg::CardRegister* cards() { return registerLink_ ? registerLink_->cards() : nullptr; }
    void scenario(const std::string& line) { sim_.process->scenario(line); }
    window::MainWindow& station() { return station_; }
    const MemorySink& sink() const { return sink_; }
    MemorySink& sink() { return sink_; }
    const std::vector<Removed>& removed() const { return removed_; }

    void start() {
        station_.txtGroupCode.setText("00001");
        station_.txtCardCode.setText("00001");
        station_.chkProgramV1.setValue(1);
        station_.chkProgramV3.setValue(1);
        station_.cboProgrammer.setListIndex(1);
        station_.chkSound.setValue(1);
        station_.chkAutoAdd.setValue(1);
        station_.chkAutoRecord.setValue(1);
    }

    // Pumps the station until the simulator's queue is empty; `onRemoved` runs after each
    // card the simulator takes off.
    bool runUntilQueueEmpty(int timeoutMs, const std::function<void()>& onRemoved = {}) {
        const std::uint32_t start = station_.tickCount();
        while (!station_.link().elapsedBeyond(start, timeoutMs)) {
            station_.link().waitWithEvents(50);
            while (const auto line = sim_.process->readLine(std::chrono::milliseconds(0))) {
                if (*line == "queue empty") {
                    return true;
                }
                static const std::regex removedLine("removed (\\d+) V1 (\\S+) V3 (\\S+)");
                std::smatch match;
                if (std::regex_match(*line, match, removedLine)) {
                    removed_.push_back({match[1], match[2], match[3]});
                    if (onRemoved) {
                        onRemoved();
                    }
                }
            }
        }
        return false;
    }

    // Runs `seen` each time the link reports a drop, once the station has handled it.
    void onDrop(const std::function<void()>& seen) {
        for (auto* handler : {&serial_.onDeviceLost, &tcp_.onDisconnected}) {
            *handler = [serialLost = handler == &serial_.onDeviceLost, this, seen] {
                if (serialLost) {
                    station_.link().MsComm1_DeviceLost();
                } else {
                    station_.link().Winsock1_Close();
                }
                seen();
            };
        }
    }

  private:
    RunningSim sim_;
    platform::QtEventLoop loop_;
    platform::QtSerialPort serial_;
    platform::QtTcpSocket tcp_;
    platform::MemorySettingsStore settings_;
    SleepingToneGenerator tone_;
    platform::ScriptedDesktop desktop_;
    platform::MemoryTrafficLog trafficLog_;
    platform::Platform services_{loop_, serial_, tcp_, settings_, tone_, desktop_, trafficLog_};
    window::MainWindow station_{services_};
    MemorySink sink_;
    std::vector<Removed> removed_;

    // The register first, then the memory sink, as zr-station chains them.
    struct Chain final : CardRecordSink {
        bool recordWrite(const WriteAttempt& attempt) override {
            if (front->recordWrite(attempt) || attempt.outcome != AttemptOutcome::Written) {
                return back->recordWrite(attempt);
            }
            WriteAttempt refused = attempt;
            refused.outcome = AttemptOutcome::RefusedBySink;
            back->recordWrite(refused);
            return false;
        }
        void recordReadBack(const ReadBackResult& result) override {
            front->recordReadBack(result);
            back->recordReadBack(result);
        }
        std::optional<NumberClaim> claimCardCode(const std::string& uid,
                                                 const std::string& groupCode,
                                                 const std::string& cardCode) override {
            return front->claimCardCode(uid, groupCode, cardCode);
        }
        CardRecordSink* front = nullptr;
        CardRecordSink* back = nullptr;
    };
    platform::MemoryLines journalFile_;
    std::unique_ptr<reg::RegisterLink> registerLink_;
    std::unique_ptr<reg::RegisterJournal> journal_;
    std::unique_ptr<reg::RegisterSink> register_;
    Chain chain_;
};

} // namespace zr::recording::test
