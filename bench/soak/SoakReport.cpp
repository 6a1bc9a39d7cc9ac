#include "soak/SoakReport.h"

#include <algorithm>
#include <cstdio>
#include <map>
#include <numeric>
#include <set>

namespace zr::soak {

void printFigures(const char* title, const std::vector<const SoakFigures*>& all) {
    SoakFigures total;
    for (const auto* f : all) {
        total.cardsWritten += f->cardsWritten;
        total.attempts += f->attempts;
        total.virtualMs += f->virtualMs;
        total.writesAfterRefusedLogIn += f->writesAfterRefusedLogIn;
        total.cardsVoided += f->cardsVoided;
        for (std::size_t k = 0; k < kFaultKinds; ++k) {
            total.faults[k] += f->faults[k];
        }
        total.idleAfterDrop.insert(total.idleAfterDrop.end(), f->idleAfterDrop.begin(),
                                   f->idleAfterDrop.end());
    }
    std::printf("%s: %d cards written in %d attempts, %.1f h on the virtual clock\n", title,
                total.cardsWritten, total.attempts, static_cast<double>(total.virtualMs) / 3.6e6);
    int injected = 0;
    for (std::size_t k = 0; k < kFaultKinds; ++k) {
        injected += total.faults[k];
        std::printf("  %-16s %6d\n", faultName(static_cast<Fault>(k)), total.faults[k]);
    }
    std::printf("  %-16s %6d\n", "faults in all", injected);
    std::printf("  number writes sent after a refused V3 log-in: %d\n",
                total.writesAfterRefusedLogIn);
    if (total.cardsVoided > 0) {
        std::printf("  cards left aside for good and made void: %d\n", total.cardsVoided);
    }
    if (!total.idleAfterDrop.empty()) {
        const auto longest =
            *std::max_element(total.idleAfterDrop.begin(), total.idleAfterDrop.end());
        const double mean =
            std::accumulate(total.idleAfterDrop.begin(), total.idleAfterDrop.end(), 0.0) /
            static_cast<double>(total.idleAfterDrop.size());
        std::printf("  idle from the link coming back to the next card read: mean %.0f ms, "
                    "longest %u ms, %zu drops\n",
                    mean, longest, total.idleAfterDrop.size());
    }
}

int report(const std::vector<std::string>& violations) {
    std::printf("violations: %zu\n", violations.size());
    for (std::size_t i = 0; i < violations.size() && i < 20; ++i) {
        std::printf("  %s\n", violations[i].c_str());
    }
    return violations.empty() ? 0 : 1;
}

std::vector<std::string> acrossBenches(const std::vector<std::unique_ptr<SoakBench>>& benches,
                                       reg::CardRegister* cards) {
    std::vector<std::string> violations;
    std::map<std::pair<int, int>, std::set<std::string>> holders;
    for (const auto& bench : benches) {
        if (cards != nullptr) {
            for (auto& found : bench->violations(*cards)) {
                violations.push_back(found);
            }
        }
        for (const auto& [uid, memory] : bench->cardsHeld()) {
            for (const int sector : {sim::kV1Sector, sim::kV3Sector}) {
                if (memory != nullptr && memory->numbers[static_cast<std::size_t>(sector)]) {
                    const auto& n = *memory->numbers[static_cast<std::size_t>(sector)];
                    holders[{n.group, n.card}].insert(uid);
                }
            }
        }
    }
    for (const auto& [number, uids] : holders) {
        if (uids.size() > 1) {
            violations.push_back(reg::numberText(number.first, number.second) +
                                 " is on cards of several benches");
        }
    }
    if (cards == nullptr) {
        violations.push_back("the register cannot be opened for the check");
    } else if (const auto twice = cards->numbersOnSeveralUids(); !twice.ok()) {
        violations.push_back("the register's duplicates cannot be read");
    } else if (!twice.value().empty()) {
        violations.push_back(std::to_string(twice.value().size()) +
                             " numbers on several UIDs in the register");
    }
    return violations;
}

} // namespace zr::soak
