// The fault soak: benches recording thousands of cards on the virtual clock with faults
// between any two steps, checked against what the programmer's cards really hold. Prints the
// cards, the faults injected by kind, the idle time after each link drop and the violations of
// the promise (the goal is none); exits 1 when there is one.
//
//   fault_soak [--cards N] [--seed S] [--fault-rate P] [--link com|tcp|both]
//   fault_soak --benches K [--cards N]   K stations at once on one PostgreSQL register with the
//                                        shared sequence (a server started for the run)
#include "register/FlakyDatabase.h"
#include "register/PgServer.h"
#include "soak/SoakBench.h"
#include "support/TempDir.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <map>
#include <numeric>
#include <set>
#include <string>
#include <thread>
#include <vector>

namespace {

using namespace zr;
using reg::test::FlakyDatabase;

struct Arguments {
    int cards = 2000;
    unsigned seed = 1;
    double faultRate = 0.04;
    std::string link = "both";
    int benches = 1;
};

Arguments parse(int argc, char** argv) {
    Arguments args;
    for (int i = 1; i + 1 < argc; i += 2) {
        const std::string option = argv[i];
        const std::string value = argv[i + 1];
        if (option == "--cards") {
            args.cards = std::max(1, std::atoi(value.c_str()));
        } else if (option == "--seed") {
            args.seed = static_cast<unsigned>(std::strtoul(value.c_str(), nullptr, 10));
        } else if (option == "--fault-rate") {
            args.faultRate = std::clamp(std::atof(value.c_str()), 0.0, 0.5);
        } else if (option == "--link") {
            args.link = value;
        } else if (option == "--benches") {
            args.benches = std::clamp(std::atoi(value.c_str()), 1, 32);
        }
    }
    return args;
}

std::shared_ptr<reg::CardRegister> reopen(std::unique_ptr<platform::Database> db,
                                          const std::string& where) {
    auto opened = reg::CardRegister::open(std::move(db), where, "checker",
                                          reg::CardRegister::Access::ReadOnly,
                                          [] { return std::chrono::system_clock::now(); });
    return opened.ok() ? opened.value() : nullptr;
}

void printFigures(const char* title, const std::vector<const soak::SoakFigures*>& all) {
    soak::SoakFigures total;
    for (const auto* f : all) {
        total.cardsWritten += f->cardsWritten;
        total.attempts += f->attempts;
        total.virtualMs += f->virtualMs;
        total.writesAfterRefusedLogIn += f->writesAfterRefusedLogIn;
        for (std::size_t k = 0; k < soak::kFaultKinds; ++k) {
            total.faults[k] += f->faults[k];
        }
        total.idleAfterDrop.insert(total.idleAfterDrop.end(), f->idleAfterDrop.begin(),
                                   f->idleAfterDrop.end());
    }
    std::printf("%s: %d cards written in %d attempts, %.1f h on the virtual clock\n", title,
                total.cardsWritten, total.attempts, static_cast<double>(total.virtualMs) / 3.6e6);
    int injected = 0;
    for (std::size_t k = 0; k < soak::kFaultKinds; ++k) {
        injected += total.faults[k];
        std::printf("  %-16s %6d\n", soak::faultName(static_cast<soak::Fault>(k)), total.faults[k]);
    }
    std::printf("  %-16s %6d\n", "faults in all", injected);
    std::printf("  number writes sent after a refused V3 log-in: %d\n",
                total.writesAfterRefusedLogIn);
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

int soakOneBench(const Arguments& args) {
    testing::TempDir dir;
    const std::string file = dir.file("cards.sqlite");
    std::vector<std::unique_ptr<soak::SoakBench>> benches;
    std::vector<std::string> links;
    if (args.link != "tcp") {
        links.push_back("com");
    }
    if (args.link != "com") {
        links.push_back("tcp");
    }
    std::vector<std::string> violations;
    std::vector<const soak::SoakFigures*> figures;
    for (std::size_t i = 0; i < links.size(); ++i) {
        soak::SoakOptions options;
        options.cards = args.cards / static_cast<int>(links.size());
        options.seed = args.seed + static_cast<unsigned>(i);
        options.faultRate = args.faultRate;
        options.tcp = links[i] == "tcp";
        options.station = "bench-" + links[i];
        options.uidHalf = 20000 + static_cast<int>(i);
        options.where = file;
        options.openDatabase = [file](bool*& down) {
            auto db = FlakyDatabase::sqlite(file);
            down = &db->down;
            return std::unique_ptr<platform::Database>(std::move(db));
        };
        benches.push_back(std::make_unique<soak::SoakBench>(options));
        benches.back()->run();
        figures.push_back(&benches.back()->figures());
        const auto checker = reopen(FlakyDatabase::sqlite(file), file);
        if (!checker) {
            violations.push_back("the register cannot be opened for the check");
            continue;
        }
        for (auto& found : benches.back()->violations(*checker)) {
            violations.push_back(links[i] + ": " + found);
        }
    }
    printFigures("fault soak", figures);
    return report(violations);
}

int soakManyBenches(const Arguments& args) {
    reg::test::PgServer server(true);
    if (!server.running() || !server.createDatabase("shared")) {
        std::printf("PostgreSQL could not be started: %s\n", server.failure().c_str());
        return 1;
    }
    platform::DatabaseAddress address{
        platform::SqlEngine::Postgres, "", "zr", "127.0.0.1", server.port(), "shared"};
    const std::string where = server.url("shared");
    std::vector<std::unique_ptr<soak::SoakBench>> benches;
    for (int i = 0; i < args.benches; ++i) {
        soak::SoakOptions options;
        options.cards = args.cards / args.benches;
        options.seed = args.seed + static_cast<unsigned>(i);
        options.faultRate = args.faultRate;
        options.sharedSequence = true;
        options.tcp = i % 2 == 1;
        options.station = "bench-" + std::to_string(i + 1);
        options.uidHalf = 30000 + i;
        options.where = where;
        options.openDatabase = [address](bool*& down) {
            platform::SqlError error;
            auto db = std::make_unique<FlakyDatabase>(platform::QtDatabase::open(address, error));
            down = &db->down;
            return std::unique_ptr<platform::Database>(std::move(db));
        };
        benches.push_back(std::make_unique<soak::SoakBench>(options));
    }
    const auto start = std::chrono::steady_clock::now();
    std::vector<std::thread> threads;
    threads.reserve(benches.size());
    for (auto& bench : benches) {
        threads.emplace_back([&bench] { bench->run(); });
    }
    for (auto& thread : threads) {
        thread.join();
    }
    const double seconds =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();

    platform::SqlError error;
    const auto checker = reopen(platform::QtDatabase::open(address, error), where);
    std::vector<std::string> violations;
    std::vector<const soak::SoakFigures*> figures;
    std::map<std::pair<int, int>, std::set<std::string>> holders;
    int attempts = 0;
    for (auto& bench : benches) {
        figures.push_back(&bench->figures());
        attempts += bench->figures().attempts;
        if (checker) {
            for (auto& found : bench->violations(*checker)) {
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
    if (!checker) {
        violations.push_back("the register cannot be opened for the check");
    } else if (const auto twice = checker->numbersOnSeveralUids(); !twice.ok()) {
        violations.push_back("the register's duplicates cannot be read");
    } else if (!twice.value().empty()) {
        violations.push_back(std::to_string(twice.value().size()) +
                             " numbers on several UIDs in the register");
    }
    printFigures("many benches", figures);
    std::printf("  %d stations, one PostgreSQL register, shared sequence: %d claims in %.1f s, "
                "%.1f claims per second\n",
                args.benches, attempts, seconds, attempts / seconds);
    return report(violations);
}

} // namespace

int main(int argc, char** argv) {
    const Arguments args = parse(argc, argv);
    return args.benches > 1 ? soakManyBenches(args) : soakOneBench(args);
}
