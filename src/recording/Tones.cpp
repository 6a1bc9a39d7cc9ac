#include "recording/Tones.h"

namespace zr::recording {
namespace {

constexpr int kToneHz = 4000;
constexpr int kSecondToneHz = 2000;
constexpr int kShortToneMs = 100;
constexpr int kLongToneMs = 500;

} // namespace

void failureTones(station::Station& station) {
    if (!station.chkSound.checked()) {
        return;
    }
    auto& tone = station.platform().tone;
    tone.beep(kToneHz, kLongToneMs);
    tone.beep(kToneHz, kShortToneMs);
    tone.beep(kToneHz, kShortToneMs);
}

void successTones(station::Station& station) {
    auto& tone = station.platform().tone;
    if (station.chkSound.checked()) {
        tone.beep(kToneHz, kShortToneMs);
    }
    if (station.chkSound.checked()) {
        tone.beep(kSecondToneHz, kShortToneMs);
    }
}

} // namespace zr::recording
