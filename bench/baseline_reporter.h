#pragma once
// A console reporter that also prints every benchmark's time as a multiple of
// a baseline measured in the same run. Machines here are noisy; the ratio to
// work of a known cost is the figure worth comparing.
//
// Convention: a benchmark whose name contains "Baseline" is a baseline. A
// benchmark is compared with the baseline of the same argument ("/24") when
// there is one, else with the last baseline run before it.
//
// Benchmarks that time themselves (UseManualTime) or the wall clock
// (UseRealTime) are compared by that time: their work happens in other
// processes or waits on sockets, where the CPU time of this process says
// nothing. Counters that are not rates (a process's resident memory, say) are
// compared with the baseline's counter of the same name as well.

#include <benchmark/benchmark.h>

#include <cstdio>
#include <map>
#include <string>
#include <vector>

namespace krvo::bench {

struct Measured {
    std::string name;
    double time = 0;
    std::map<std::string, double> counters;  // only those that are not rates
};

struct Ratio {
    std::string name;      // the measured benchmark
    std::string what;      // "time" or the counter's name
    double value = 0;      // measured / baseline
    std::string baseline;  // the baseline's name
};

inline bool IsBaseline(const std::string& name) {
    return name.find("Baseline") != std::string::npos;
}

inline bool UsesWallTime(const std::string& name) {
    return name.find("/manual_time") != std::string::npos ||
           name.find("/real_time") != std::string::npos;
}

// Everything after the first "/": the arguments and the timing suffixes.
inline std::string ArgumentOf(const std::string& name) {
    const std::size_t slash = name.find('/');
    return slash == std::string::npos ? std::string() : name.substr(slash);
}

inline std::vector<Ratio> CompareWithBaselines(const std::vector<Measured>& runs) {
    const auto sameArgumentBaseline = [&runs](const std::string& name) -> const Measured* {
        const std::string argument = ArgumentOf(name);
        if (argument.empty()) return nullptr;
        for (const Measured& run : runs) {
            if (IsBaseline(run.name) && ArgumentOf(run.name) == argument) return &run;
        }
        return nullptr;
    };
    std::vector<Ratio> ratios;
    const Measured* lastBaseline = nullptr;
    for (const Measured& run : runs) {
        if (IsBaseline(run.name)) {
            lastBaseline = &run;
            continue;
        }
        const Measured* baseline = sameArgumentBaseline(run.name);
        if (baseline == nullptr) baseline = lastBaseline;
        if (baseline == nullptr) continue;
        if (baseline->time > 0) {
            ratios.push_back({run.name, "time", run.time / baseline->time, baseline->name});
        }
        for (const auto& [counter, value] : run.counters) {
            const auto other = baseline->counters.find(counter);
            if (other == baseline->counters.end() || other->second <= 0) continue;
            ratios.push_back({run.name, counter, value / other->second, baseline->name});
        }
    }
    return ratios;
}

class BaselineReporter : public benchmark::ConsoleReporter {
public:
    void ReportRuns(const std::vector<Run>& runs) override {
        ConsoleReporter::ReportRuns(runs);
        for (const Run& run : runs) {
            if (run.run_type != Run::RT_Iteration || run.iterations == 0 || run.error_occurred) {
                continue;
            }
            Measured measured{run.benchmark_name(), 0, {}};
            measured.time =
                UsesWallTime(measured.name) ? run.GetAdjustedRealTime() : run.GetAdjustedCPUTime();
            for (const auto& [name, counter] : run.counters) {
                if ((counter.flags & benchmark::Counter::kIsRate) == 0) {
                    measured.counters[name] = counter.value;
                }
            }
            measured_.push_back(std::move(measured));
        }
    }

    void Finalize() override {
        ConsoleReporter::Finalize();
        std::printf("\nratios to the baseline of the same run (lower is better):\n");
        for (const Ratio& ratio : CompareWithBaselines(measured_)) {
            const std::string label =
                ratio.what == "time" ? ratio.name : ratio.name + " " + ratio.what;
            std::printf("  %-44s %9.2f x %s\n", label.c_str(), ratio.value, ratio.baseline.c_str());
        }
    }

private:
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
