#include "platform/virtual/VirtualDevices.h"

namespace zr::platform {

bool VirtualSerialPort::open(int portNumber) {
    if (availablePorts.count(portNumber) == 0) {
        return false;
    }
    openPort_ = portNumber;
    return true;
}

void VirtualSerialPort::write(std::span<const std::uint8_t> bytes) {
    if (!isOpen()) {
        ++writesWhileClosed;
        return;
    }
    std::vector<std::uint8_t> frame(bytes.begin(), bytes.end());
    written.push_back({loop_.now(), frame});
    if (onWrite) {
        onWrite(openPort_, frame);
    }
}

std::vector<std::uint8_t> VirtualSerialPort::readAll() {
    std::vector<std::uint8_t> taken;
    taken.swap(input_);
    return taken;
}

void VirtualSerialPort::deliver(std::vector<std::uint8_t> bytes, std::uint32_t delayMs) {
    loop_.post(delayMs, [this, bytes = std::move(bytes)] {
        if (!isOpen()) {
            return;
        }
        input_.insert(input_.end(), bytes.begin(), bytes.end());
        commEvent_ = kEventReceive;
        if (onReceive) {
            onReceive();
        }
    });
}

void VirtualSerialPort::unplug() {
    if (!isOpen()) {
        return;
    }
    availablePorts.erase(openPort_);
    openPort_ = 0;
    input_.clear();
    if (onDeviceLost) {
        onDeviceLost();
    }
}

void VirtualSerialPort::deliverText(const std::string& text, std::uint32_t delayMs) {
    deliver(std::vector<std::uint8_t>(text.begin(), text.end()), delayMs);
}

void VirtualTcpSocket::connectToHost(const std::string& host, int port) {
    lastHost = host;
    lastPort = port;
    ++connectCount;
    state_ = kStateConnecting;
    const std::uint64_t attempt = ++attempt_;
    const bool accepts = reachable.count(host + ":" + std::to_string(port)) != 0;
    loop_.post(connectDelayMs, [this, attempt, accepts] {
        if (attempt == attempt_ && state_ == kStateConnecting) {
            state_ = accepts ? kStateConnected : kStateError;
        }
    });
}

void VirtualTcpSocket::close() {
    ++attempt_;
    state_ = kStateClosed;
    input_.clear();
}

void VirtualTcpSocket::send(std::span<const std::uint8_t> bytes) {
    if (state_ != kStateConnected) {
        return;
    }
    std::vector<std::uint8_t> frame(bytes.begin(), bytes.end());
    sent.push_back({loop_.now(), frame});
    if (onSend) {
        onSend(frame);
    }
}

std::vector<std::uint8_t> VirtualTcpSocket::readAll() {
    std::vector<std::uint8_t> taken;
    taken.swap(input_);
    return taken;
}

void VirtualTcpSocket::deliver(std::vector<std::uint8_t> bytes, std::uint32_t delayMs) {
    loop_.post(delayMs, [this, bytes = std::move(bytes)] {
        if (state_ != kStateConnected) {
            return;
        }
        input_.insert(input_.end(), bytes.begin(), bytes.end());
        if (onDataArrival) {
            onDataArrival(input_.size());
        }
    });
}

void VirtualTcpSocket::peerClose() {
    if (state_ != kStateConnected) {
        return;
    }
    close();
    if (onDisconnected) {
        onDisconnected();
    }
}

void VirtualTcpSocket::deliverText(const std::string& text, std::uint32_t delayMs) {
    deliver(std::vector<std::uint8_t>(text.begin(), text.end()), delayMs);
}

std::string MemorySettingsStore::get(const std::string& app, const std::string& section,
                                     const std::string& key,
                                     const std::string& defaultValue) const {
    if (app != "ZR" || section != "ZR_Record") {
        return defaultValue;
    }
    const auto it = values.find(key);
    return it == values.end() ? defaultValue : it->second;
}

void MemorySettingsStore::save(const std::string& app, const std::string& section,
                               const std::string& key, const std::string& value) {
    if (app == "ZR" && section == "ZR_Record") {
        values[key] = value;
        ++saveCount;
    }
}

bool MemorySettingsStore::saveAll(const std::string& app, const std::string& section,
                                  const SettingValues& newValues) {
    if (failWrites) {
        return false;
    }
    for (const auto& [key, value] : newValues) {
        save(app, section, key, value);
    }
    ++setSaveCount;
    return true;
}

void RecordingToneGenerator::beep(int frequencyHz, int durationMs) {
    tones.push_back({frequencyHz, durationMs});
    loop_.sleepWithoutEvents(static_cast<std::uint32_t>(durationMs));
}

void ScriptedDesktop::messageBox(const std::string& text, const std::string& title) {
    messageBoxes.push_back({text, title, {}});
}

bool ScriptedDesktop::askYesNo(const std::string& text, const std::string& title) {
    questions.push_back({text, title, {}});
    if (yesNoAnswers.empty()) {
        return false;
    }
    const bool yes = yesNoAnswers.front();
    yesNoAnswers.pop_front();
    return yes;
}

std::string ScriptedDesktop::inputBox(const std::string& prompt, const std::string& title,
                                      const std::string& defaultText) {
    inputBoxes.push_back({prompt, title, defaultText});
    if (answers.empty()) {
        return {};
    }
    std::string answer = answers.front();
    answers.pop_front();
    return answer;
}

std::optional<std::vector<std::string>> MemoryLines::read() {
    if (failReads) {
        return std::nullopt;
    }
    return lines;
}

bool MemoryLines::append(const std::string& line) {
    if (failWrites) {
        return false;
    }
    lines.push_back(line);
    return true;
}

bool MemoryLines::replace(const std::vector<std::string>& newLines) {
    if (failWrites) {
        return false;
    }
    lines = newLines;
    return true;
}

} // namespace zr::platform
