#include "ZlibPeer.h"
#include "imaging/inflate/Inflate.h"

#include <benchmark/benchmark.h>
#include <cstdio>
#include <map>
#include <string>
#include <zlib.h>

namespace zr::imaging::test {
namespace {

struct Dataset {
    std::string name;
    Bytes original;
    Bytes stream;
};

const std::vector<Dataset>& datasets() {
    static const std::vector<Dataset> all = [] {
        std::vector<Dataset> made{{"image2000x1500", imageRows(2000, 1500, 1), {}},
                                  {"text", textLike(8 << 20, 2), {}},
                                  {"skewed", skewedBytes(4 << 20, 3), {}}};
        for (Dataset& dataset : made) {
            dataset.stream = zlibCompress(dataset.original, 6, Z_DEFAULT_STRATEGY);
        }
        return made;
    }();
    return all;
}

void inflateOwn(benchmark::State& state, const Dataset& dataset) {
    Bytes output(dataset.original.size());
    for (auto _ : state) {
        const InflateResult result = inflateZlib(dataset.stream, output);
        if (result.status != InflateStatus::Ok) {
            state.SkipWithError("own inflater failed");
            return;
        }
        benchmark::DoNotOptimize(output.data());
    }
    if (output != dataset.original) {
        state.SkipWithError("own inflater got the data wrong");
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * output.size()));
}

void inflateZlibPeer(benchmark::State& state, const Dataset& dataset) {
    Bytes output(dataset.original.size());
    for (auto _ : state) {
        uLongf length = output.size();
        if (::uncompress(output.data(), &length, dataset.stream.data(), dataset.stream.size()) !=
            Z_OK) {
            state.SkipWithError("zlib failed");
            return;
        }
        benchmark::DoNotOptimize(output.data());
    }
    if (output != dataset.original) {
        state.SkipWithError("zlib got the data wrong");
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * output.size()));
}

// Prints the usual table, then own/zlib throughput per data set.
class RatioReporter : public benchmark::ConsoleReporter {
  public:
    void ReportRuns(const std::vector<Run>& runs) override {
        ConsoleReporter::ReportRuns(runs);
        for (const Run& run : runs) {
            const auto rate = run.counters.find("bytes_per_second");
            // With repetitions the median stands for the benchmark.
            const bool representative =
                run.aggregate_name.empty() || run.aggregate_name == "median";
            if (rate != run.counters.end() && !run.error_occurred && representative) {
                m_rates[run.run_name.str()] = rate->second.value;
            }
        }
    }

    void Finalize() override {
        ConsoleReporter::Finalize();
        std::printf("\nOutput throughput, own inflater / zlib uncompress:\n");
        for (const Dataset& dataset : datasets()) {
            const double own = m_rates["inflate/own/" + dataset.name];
            const double zlib = m_rates["inflate/zlib/" + dataset.name];
            if (own > 0 && zlib > 0) {
                std::printf("  %-16s own %8.1f MB/s  zlib %8.1f MB/s  ratio %.2f\n",
                            dataset.name.c_str(), own / 1e6, zlib / 1e6, own / zlib);
            }
        }
    }

  private:
    std::map<std::string, double> m_rates;
};

} // namespace
} // namespace zr::imaging::test

int main(int argc, char** argv) {
    using namespace zr::imaging::test;
    for (const Dataset& dataset : datasets()) {
        benchmark::RegisterBenchmark(("inflate/own/" + dataset.name).c_str(), inflateOwn, dataset)
            ->Unit(benchmark::kMillisecond);
        benchmark::RegisterBenchmark(("inflate/zlib/" + dataset.name).c_str(), inflateZlibPeer,
                                     dataset)
            ->Unit(benchmark::kMillisecond);
    }
    benchmark::Initialize(&argc, argv);
    RatioReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    benchmark::Shutdown();
    return 0;
}
