#pragma once
// A console reporter that also prints every benchmark's time as a multiple of
// the baseline measured before it in the same run. Machines here are noisy;
// the ratio to work of a known cost is the figure worth comparing.
//
// Convention: a benchmark whose name contains "Baseline" starts a group; the
// benchmarks after it are compared with it.

#include <benchmark/benchmark.h>

#include <cstdio>
#include <string>
#include <vector>

namespace krvo::bench {

class BaselineReporter : public benchmark::ConsoleReporter {
public:
    void ReportRuns(const std::vector<Run>& runs) override {
        ConsoleReporter::ReportRuns(runs);
        for (const Run& run : runs) {
            if (run.run_type != Run::RT_Iteration || run.iterations == 0) continue;
            const std::string name = run.benchmark_name();
            const double ns = run.GetAdjustedRealTime();
            if (name.find("Baseline") != std::string::npos) {
                baselineName_ = name;
                baselineNs_ = ns;
                continue;
            }
            if (baselineNs_ > 0) {
                lines_.push_back(name + ": " + std::to_string(ns / baselineNs_) + " x " +
                                 baselineName_);
            }
        }
    }
    void Finalize() override {
        ConsoleReporter::Finalize();
        std::printf("\nratios to the baseline of the same run:\n");
        for (const std::string& line : lines_) std::printf("  %s\n", line.c_str());
    }

private:
    std::string baselineName_;
    double baselineNs_ = 0;
    std::vector<std::string> lines_;
};

inline int RunWithBaselines(int argc, char** argv) {
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
    BaselineReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    benchmark::Shutdown();
    return 0;
}

}  // namespace krvo::bench

#define KRVO_BENCHMARK_MAIN()                             \
    int main(int argc, char** argv) {                     \
        return krvo::bench::RunWithBaselines(argc, argv); \
    }
