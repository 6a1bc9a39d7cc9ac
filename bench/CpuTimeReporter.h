#pragma once

#include <benchmark/benchmark.h>
#include <map>
#include <string>
#include <vector>

// The console table as usual, plus each run's CPU time kept by benchmark name, so a benchmark
// can print its ratios against the peer measured in the same run after the table.
class CpuTimeReporter : public benchmark::ConsoleReporter {
  public:
    void ReportRuns(const std::vector<Run>& runs) override {
        for (const Run& run : runs) {
            times_[run.benchmark_name()] = run.GetAdjustedCPUTime();
        }
        ConsoleReporter::ReportRuns(runs);
    }

    // The CPU time of the named run, 0 when it did not run.
    double cpuTime(const std::string& name) const {
        const auto found = times_.find(name);
        return found == times_.end() ? 0.0 : found->second;
    }

  private:
    std::map<std::string, double> times_;
};
