#include "register/RegisterTypes.h"

#include <cstdio>

namespace zr::reg {

std::string_view layoutOutcomeText(LayoutOutcome outcome) {
    switch (outcome) {
    case LayoutOutcome::Written:
        return "ok";
    case LayoutOutcome::Failed:
        return "failed";
    case LayoutOutcome::Unknown:
        return "unknown";
    case LayoutOutcome::Skipped:
        break;
    }
    return "-";
}

std::string_view verdictText(Verdict verdict) {
    switch (verdict) {
    case Verdict::Matches:
        return "match";
    case Verdict::Differs:
        return "differs";
    case Verdict::Unregistered:
        break;
    }
    return "unregistered";
}

std::string numberText(int group, int card) {
    char text[16];
    std::snprintf(text, sizeof text, "%05d:%05d", group, card);
    return text;
}

} // namespace zr::reg
