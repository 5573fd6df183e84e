#pragma once
// A console reporter that also prints every benchmark's time as a multiple of
// a baseline measured in the same run. Machines here are noisy; the ratio to
// work of a known cost is the figure worth comparing.
//
// Convention: a benchmark whose name contains "Baseline" is a baseline. A
// benchmark is compared with the baseline of the same argument ("/24") when
// there is one, else with the last baseline run before it.

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
            measured_.push_back({run.benchmark_name(), run.GetAdjustedCPUTime()});
        }
    }

    void Finalize() override {
        ConsoleReporter::Finalize();
        std::printf("\nratios to the baseline of the same run (lower is faster):\n");
        const Measured* lastBaseline = nullptr;
        for (const Measured& run : measured_) {
            if (isBaseline(run.name)) {
                lastBaseline = &run;
                continue;
            }
            const Measured* baseline = sameArgumentBaseline(run.name);
            if (baseline == nullptr) baseline = lastBaseline;
            if (baseline == nullptr || baseline->time <= 0) continue;
            std::printf("  %-36s %9.2f x %s\n", run.name.c_str(), run.time / baseline->time,
                        baseline->name.c_str());
        }
    }

private:
    struct Measured {
        std::string name;
        double time = 0;
    };

    static bool isBaseline(const std::string& name) {
        return name.find("Baseline") != std::string::npos;
    }
    static std::string argumentOf(const std::string& name) {
        const std::size_t slash = name.find('/');
        return slash == std::string::npos ? std::string() : name.substr(slash);
    }
    const Measured* sameArgumentBaseline(const std::string& name) const {
        const std::string argument = argumentOf(name);
        if (argument.empty()) return nullptr;
        for (const Measured& run : measured_) {
            if (isBaseline(run.name) && argumentOf(run.name) == argument) return &run;
        }
        return nullptr;
    }

    std::vector<Measured> measured_;
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
