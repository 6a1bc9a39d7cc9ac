#pragma once

#include "platform/Desktop.h"
#include "platform/DurableLines.h"
#include "platform/SerialPort.h"
#include "platform/SettingsStore.h"
#include "platform/TcpSocket.h"
#include "platform/ToneGenerator.h"
#include "platform/TrafficLog.h"
#include "platform/virtual/VirtualEventLoop.h"

#include <cstdint>
#include <deque>
#include <functional>
#include <map>
#include <set>
#include <string>
#include <vector>

// Stand-ins for the outside world that run on the virtual clock, for tests.
namespace zr::platform {

struct SentFrame {
    std::uint64_t tick;
    std::vector<std::uint8_t> bytes;
};

class VirtualSerialPort final : public SerialPort {
  public:
    explicit VirtualSerialPort(VirtualEventLoop& loop) : loop_(loop) {}

    bool open(int portNumber) override;
    void close() override { openPort_ = 0; }
    bool isOpen() const override { return openPort_ != 0; }
    void write(std::span<const std::uint8_t> bytes) override;
    std::vector<std::uint8_t> readAll() override;
    int commEvent() const override { return commEvent_; }

    // Ports that exist; opening any other number fails.
    std::set<int> availablePorts;
    // Called for every write on an open port, e.g. by a fake programmer that answers.
    std::function<void(int port, const std::vector<std::uint8_t>&)> onWrite;
    // Frames written while open, with their tick.
    std::vector<SentFrame> written;
    // Number of writes attempted while closed.
    int writesWhileClosed = 0;

    int openPort() const { return openPort_; }
    // The device of the open port goes away: the port closes and the loss is reported.
    void unplug();
    // Bytes arrive after `delayMs`, as one receive event.
    void deliver(std::vector<std::uint8_t> bytes, std::uint32_t delayMs = 0);
    void deliverText(const std::string& text, std::uint32_t delayMs = 0);

  private:
    VirtualEventLoop& loop_;
    int openPort_ = 0;
    int commEvent_ = 0;
    std::vector<std::uint8_t> input_;
};

class VirtualTcpSocket final : public TcpSocket {
  public:
    explicit VirtualTcpSocket(VirtualEventLoop& loop) : loop_(loop) {}

    int state() const override { return state_; }
    void connectToHost(const std::string& host, int port) override;
    void close() override;
    void send(std::span<const std::uint8_t> bytes) override;
    std::vector<std::uint8_t> readAll() override;

    // "host:port" texts that accept a connection, and how long a connection takes.
    std::set<std::string> reachable;
    std::uint32_t connectDelayMs = 5;
    std::function<void(const std::vector<std::uint8_t>&)> onSend;
    std::vector<SentFrame> sent;
    std::string lastHost;
    int lastPort = -1;
    int connectCount = 0;

    void deliver(std::vector<std::uint8_t> bytes, std::uint32_t delayMs = 0);
    void deliverText(const std::string& text, std::uint32_t delayMs = 0);
    // The peer closes the connection: the socket closes and the drop is reported.
    void peerClose();

  private:
    VirtualEventLoop& loop_;
    int state_ = kStateClosed;
    std::uint64_t attempt_ = 0;
    std::vector<std::uint8_t> input_;
};

class MemorySettingsStore final : public SettingsStore {
  public:
    std::string get(const std::string& app, const std::string& section, const std::string& key,
                    const std::string& defaultValue) const override;
    void save(const std::string& app, const std::string& section, const std::string& key,
              const std::string& value) override;
    bool saveAll(const std::string& app, const std::string& section,
                 const SettingValues& values) override;

    // Values of application "ZR", section "ZR_Record", by key.
    std::map<std::string, std::string> values;
    int saveCount = 0;
    // Whole-set saves that reached the store.
    int setSaveCount = 0;
    // A store that cannot be written: saveAll changes nothing and returns false.
    bool failWrites = false;
};

class RecordingToneGenerator final : public ToneGenerator {
  public:
    explicit RecordingToneGenerator(VirtualEventLoop& loop) : loop_(loop) {}
    void beep(int frequencyHz, int durationMs) override;

    struct Tone {
        int frequencyHz;
        int durationMs;
    };
    std::vector<Tone> tones;

  private:
    VirtualEventLoop& loop_;
};

class ScriptedDesktop final : public Desktop {
  public:
    int screenWidthTwips() const override { return screenWidth; }
    int screenHeightTwips() const override { return screenHeight; }
    void messageBox(const std::string& text, const std::string& title) override;
    std::string inputBox(const std::string& prompt, const std::string& title,
                         const std::string& defaultText) override;
    bool askYesNo(const std::string& text, const std::string& title) override;

    struct Box {
        std::string text; // the message, or the input box's prompt
        std::string title;
        std::string defaultText;
        bool operator==(const Box&) const = default;
    };

    int screenWidth = 28800;
    int screenHeight = 16200;
    std::vector<Box> messageBoxes;
    std::vector<Box> inputBoxes;
    // Answers for the next input boxes; Cancel (empty) when none is queued.
    std::deque<std::string> answers;
    std::vector<Box> questions;
    // Answers for the next Yes/No boxes; No when none is queued.
    std::deque<bool> yesNoAnswers;
};

// Lines kept in memory; `failWrites` makes every append and replace fail.
class MemoryLines final : public DurableLines {
  public:
    std::optional<std::vector<std::string>> read() override;
    bool append(const std::string& line) override;
    bool replace(const std::vector<std::string>& newLines) override;
    std::string where() const override { return "memory"; }

    std::vector<std::string> lines;
    bool failWrites = false;
    bool failReads = false;
};

class MemoryTrafficLog final : public TrafficLog {
  public:
    void appendLine(const std::string& text) override { lines.push_back(text); }
    std::vector<std::string> lines;
};

} // namespace zr::platform
