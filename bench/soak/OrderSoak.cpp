#include "soak/OrderSoak.h"

#include "soak/OrderCheck.h"
#include "soak/SharedRegister.h"
#include "soak/SoakReport.h"

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <thread>

namespace zr::soak {
namespace {

constexpr const char* kReference = "SOAK-1";
constexpr int kGroup = 12;
constexpr std::size_t kMostListed = 20;

bool makeOrder(const SharedRegister& shared, int cards) {
    const auto lead = shared.open("lead", reg::CardRegister::Access::ReadWrite);
    return lead && lead->addOrder({.reference = kReference,
                                   .customer = "fault soak",
                                   .group = kGroup,
                                   .first = 1,
                                   .last = cards})
                       .ok();
}

void printOrder(const OrderCheck& check) {
    const OrderTally& tally = check.tally;
    const reg::Order& order = check.order;
    std::printf("  order %s (%s to %05d): %s; written %d, void %d, held by a card whose write is "
                "unknown %zu\n",
                order.reference.c_str(), reg::numberText(order.group, order.first).c_str(),
                order.last, order.state.c_str(), tally.written, tally.voided,
                tally.heldUnknown.size());
    if (tally.heldUnknown.empty()) {
        return;
    }
    std::printf("  held unknown:");
    for (std::size_t i = 0; i < tally.heldUnknown.size() && i < kMostListed; ++i) {
        std::printf(" %s", reg::numberText(order.group, tally.heldUnknown[i]).c_str());
    }
    std::printf("%s\n", tally.heldUnknown.size() > kMostListed ? " ..." : "");
}

} // namespace

int soakOrder(const OrderSoakOptions& options) {
    SharedRegister shared;
    if (const std::string why = shared.failure(); !why.empty()) {
        std::printf("PostgreSQL could not be started: %s\n", why.c_str());
        return 1;
    }
    if (!makeOrder(shared, options.cards)) {
        std::printf("order %s could not be made in the register\n", kReference);
        return 1;
    }
    std::atomic<int> running{options.benches};
    std::vector<std::unique_ptr<SoakBench>> benches;
    for (int i = 0; i < options.benches; ++i) {
        benches.push_back(std::make_unique<SoakBench>(SoakOptions{
            .cards = std::max(1, options.cards / options.benches),
            .seed = options.seed + static_cast<unsigned>(i),
            .faultRate = options.faultRate,
            .tcp = i % 2 == 1,
            .sharedSequence = true,
            .station = "bench-" + std::to_string(i + 1),
            .uidHalf = 30000 + i,
            .openDatabase = shared.opener(),
            .where = shared.where(),
            .order = kReference,
            .othersStopped = [&running] { return running.load() <= 1; },
        }));
    }
    const auto start = std::chrono::steady_clock::now();
    std::vector<std::thread> threads;
    threads.reserve(benches.size());
    for (auto& bench : benches) {
        threads.emplace_back([&bench, &running] {
            bench->run();
            --running;
        });
    }
    for (auto& thread : threads) {
        thread.join();
    }
    const double seconds =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();

    const auto checker = shared.open("checker", reg::CardRegister::Access::ReadOnly);
    std::vector<std::string> violations = acrossBenches(benches, checker.get());
    std::vector<const SoakFigures*> figures;
    int attempts = 0;
    int sawComplete = 0;
    for (const auto& bench : benches) {
        figures.push_back(&bench->figures());
        attempts += bench->figures().attempts;
        sawComplete += bench->figures().orderComplete ? 1 : 0;
    }
    printFigures("order soak", figures);
    const auto db = shared.connect();
    if (!checker || !db) {
        violations.push_back("the order cannot be checked without the register");
    } else {
        const OrderCheck check = checkOrder(benches, *db, *checker, kReference);
        violations.insert(violations.end(), check.violations.begin(), check.violations.end());
        printOrder(check);
        // A complete order stops every bench at its next card.
        if (check.order.state == "complete" && sawComplete < options.benches) {
            violations.push_back(std::to_string(options.benches - sawComplete) +
                                 " stations were not told that the order is complete");
        }
    }
    std::printf("  %d stations on one order, one PostgreSQL register: %d of them told it is "
                "complete; %d claims in %.1f s, %.1f claims per second\n",
                options.benches, sawComplete, attempts, seconds, attempts / seconds);
    return report(violations);
}

} // namespace zr::soak
