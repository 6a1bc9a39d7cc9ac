#pragma once

namespace zr::platform {

class ToneGenerator {
  public:
    virtual ~ToneGenerator() = default;
    // Sounds a tone and returns when it has ended.
    virtual void beep(int frequencyHz, int durationMs) = 0;
};

} // namespace zr::platform
