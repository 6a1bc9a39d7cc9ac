#pragma once

#include "platform/ToneGenerator.h"
#include "platform/TrafficLog.h"

#include <QString>

namespace zr::platform {

// The traffic log file "AAA.txt": by default in the per-user data directory
// (~/.local/share/ZR/AAA.txt on POSIX), C:\AAA.txt on Windows.
QString defaultTrafficLogPath();

class FileTrafficLog final : public TrafficLog {
  public:
    explicit FileTrafficLog(QString path) : path_(std::move(path)) {}
    void appendLine(const std::string& text) override;

  private:
    QString path_;
    bool warned_ = false;
};

// Sine tones through Qt Multimedia's default output; where there is none, a silent wait of the
// same length.
class QtToneGenerator final : public ToneGenerator {
  public:
    void beep(int frequencyHz, int durationMs) override;
};

} // namespace zr::platform
