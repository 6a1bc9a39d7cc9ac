#include "recording/Tones.h"

namespace zr::recording {
namespace {

constexpr int kToneHz = 4000;
constexpr int kSecondToneHz = 2000;
constexpr int kShortToneMs = 100;
constexpr int kLongToneMs = 500;

} // namespace

void failureTones(const station::CheckBox& chkSound, platform::ToneGenerator& tone) {
    if (!chkSound.checked()) {
        return;
    }
    tone.beep(kToneHz, kLongToneMs);
    tone.beep(kToneHz, kShortToneMs);
    tone.beep(kToneHz, kShortToneMs);
}

void successTones(const station::CheckBox& chkSound, platform::ToneGenerator& tone) {
    if (chkSound.checked()) {
        tone.beep(kToneHz, kShortToneMs);
    }
    if (chkSound.checked()) {
        tone.beep(kSecondToneHz, kShortToneMs);
    }
}

} // namespace zr::recording
