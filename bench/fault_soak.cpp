// The fault soak: benches recording thousands of cards on the virtual clock with faults
// between any two steps, checked against what the programmer's cards really hold. Prints the
// cards, the faults injected by kind, the idle time after each link drop and the violations of
// the promise (the goal is none); exits 1 when there is one.
//
//   fault_soak [--cards N] [--seed S] [--fault-rate P] [--link com|tcp|both]
//   fault_soak --benches K [--cards N]   K stations at once on one PostgreSQL register with the
//                                        shared sequence (a server started for the run)
//   fault_soak --order [--benches K] [--cards N]
//                                        K stations (8 unless told) filling one order of N
//                                        cards on one PostgreSQL register
#include "register/FlakyDatabase.h"
#include "soak/OrderSoak.h"
#include "soak/SharedRegister.h"
#include "soak/SoakBench.h"
#include "soak/SoakReport.h"
#include "support/TempDir.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <optional>
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
    std::optional<int> benches;
    bool order = false;
};

Arguments parse(int argc, char** argv) {
    Arguments args;
    for (int i = 1; i < argc; ++i) {
        const std::string option = argv[i];
        if (option == "--order") {
            args.order = true;
            continue;
        }
        if (i + 1 == argc) {
            break;
        }
        const std::string value = argv[++i];
        if (option == "--cards") {
            args.cards = std::clamp(std::atoi(value.c_str()), 1, 65535);
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
    soak::printFigures("fault soak", figures);
    return soak::report(violations);
}

int soakManyBenches(const Arguments& args, int count) {
    const soak::SharedRegister shared;
    if (const std::string why = shared.failure(); !why.empty()) {
        std::printf("PostgreSQL could not be started: %s\n", why.c_str());
        return 1;
    }
    std::vector<std::unique_ptr<soak::SoakBench>> benches;
    for (int i = 0; i < count; ++i) {
        soak::SoakOptions options;
        options.cards = args.cards / count;
        options.seed = args.seed + static_cast<unsigned>(i);
        options.faultRate = args.faultRate;
        options.sharedSequence = true;
        options.tcp = i % 2 == 1;
        options.station = "bench-" + std::to_string(i + 1);
        options.uidHalf = 30000 + i;
        options.where = shared.where();
        options.openDatabase = shared.opener();
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

    const auto checker = shared.open("checker", reg::CardRegister::Access::ReadOnly);
    const std::vector<std::string> violations = soak::acrossBenches(benches, checker.get());
    std::vector<const soak::SoakFigures*> figures;
    int attempts = 0;
    for (const auto& bench : benches) {
        figures.push_back(&bench->figures());
        attempts += bench->figures().attempts;
    }
    soak::printFigures("many benches", figures);
    std::printf("  %d stations, one PostgreSQL register, shared sequence: %d claims in %.1f s, "
                "%.1f claims per second\n",
                count, attempts, seconds, attempts / seconds);
    return soak::report(violations);
}

} // namespace

int main(int argc, char** argv) {
    const Arguments args = parse(argc, argv);
    if (args.order) {
        return soak::soakOrder({.benches = args.benches.value_or(8),
                                .cards = args.cards,
                                .seed = args.seed,
                                .faultRate = args.faultRate});
    }
    const int benches = args.benches.value_or(1);
    return benches > 1 ? soakManyBenches(args, benches) : soakOneBench(args);
}
