// ParameterList::update, the three-way carry-over of a part switch, on lists of 100 to 10 000
// parameters of which every fourth is a 3 x 2 array and every eighth a text. Between the old and the new
// definition a tenth of the parameters go, a tenth come, and the rest change their default; the user
// changed every third value. Each run updates a fresh copy of the element's list, made and freed outside
// the measured time; the copy alone is measured beside it. The reporter prints, from the best of five
// repetitions, the time per parameter and each size's time against the 1 000-parameter run (and the same
// ratio of the medians): a linear update keeps the 10 000 run near 10 times that.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <cstdio>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "LibraryParts/ParameterList.h"
#include "LibraryParts/RealParameter.h"
#include "LibraryParts/StringParameter.h"

namespace {
using tarnwick::Parameter;
using tarnwick::ParameterList;

std::unique_ptr<Parameter> makeParameter(std::size_t i, double value) {
    const std::string name = "par_" + std::to_string(i);
    if (i % 8 == 7) {
        auto text = std::make_unique<tarnwick::StringParameter>(name.c_str(), "", 0, 0, 0, false);
        text->set(tarnwick::String(std::to_string(value)), 0, 0);
        return text;
    }
    const bool array = i % 4 == 0;
    auto real = std::make_unique<tarnwick::RealParameter>(name.c_str(), "", 0, array ? 2 : 0, 0, array);
    for (std::uint64_t r = 0; r < (array ? 3u : 1u); ++r)
        for (std::uint64_t c = 0; c < real->getColumnCount(); ++c) real->set(value + double(r + c), r, c);
    return real;
}

struct Lists {
    ParameterList current, newer, older;
};

const Lists& listsOf(std::size_t n) {
    static std::map<std::size_t, Lists> made;
    auto found = made.find(n);
    if (found != made.end()) return found->second;
    Lists& lists = made[n];
    for (std::size_t i = 0; i < n; ++i) {
        if (i % 10 != 9) lists.older.push_back(makeParameter(i, 1.0));                        // a tenth come
        if (i % 10 != 0) lists.newer.push_back(makeParameter(i, 2.0));                        // a tenth go
        if (i % 10 != 9) lists.current.push_back(makeParameter(i, i % 3 == 0 ? 5.0 : 1.0));   // user's values
    }
    return lists;
}

void Update(benchmark::State& state) {
    const Lists& lists = listsOf(static_cast<std::size_t>(state.range(0)));
    for (auto _ : state) {
        state.PauseTiming();   // the copy is made and freed outside the measured time
        auto work = std::make_unique<ParameterList>(lists.current);
        state.ResumeTiming();
        work->update(lists.newer, lists.older);
        benchmark::DoNotOptimize(work->size());
        state.PauseTiming();
        work.reset();
        state.ResumeTiming();
    }
}

void CopyOnly(benchmark::State& state) {
    const Lists& lists = listsOf(static_cast<std::size_t>(state.range(0)));
    for (auto _ : state) {
        ParameterList work(lists.current);
        benchmark::DoNotOptimize(work.size());
    }
}

// Each size is measured five times: the reporter takes the best (and shows the median), as a shared
// machine's other work only ever adds time.
BENCHMARK(Update)->Arg(100)->Arg(1000)->Arg(2000)->Arg(4000)->Arg(10000)->Repetitions(5)->Unit(
    benchmark::kMillisecond);
BENCHMARK(CopyOnly)->Arg(100)->Arg(1000)->Arg(10000)->Repetitions(5)->Unit(benchmark::kMillisecond);

// Shows the aggregates of each size's repetitions and collects their times, then prints per size the
// time per parameter of the best repetition, its ratio to the best of 1 000 and the ratio of the medians.
class RatioReporter : public benchmark::ConsoleReporter {
public:
    void ReportRuns(const std::vector<Run>& runs) override {
        std::vector<Run> aggregates;
        for (const Run& run : runs) {
            if (run.run_type == Run::RT_Aggregate) {
                aggregates.push_back(run);
                continue;
            }
            times_[run.run_name.function_name][std::stol(run.run_name.args)].push_back(
                run.GetAdjustedRealTime() / benchmark::GetTimeUnitMultiplier(run.time_unit));
        }
        if (!aggregates.empty()) ConsoleReporter::ReportRuns(aggregates);
    }
    void Finalize() override {
        ConsoleReporter::Finalize();
        std::printf("\n%-9s %-11s %14s %14s %16s\n", "run", "parameters", "us/parameter", "time/1000's",
                    "median/1000's");
        const auto median = [](const std::vector<double>& seconds) { return seconds[seconds.size() / 2]; };
        for (auto& [family, sizes] : times_) {
            for (auto& [n, seconds] : sizes) std::sort(seconds.begin(), seconds.end());
            const auto base = sizes.find(1000);
            for (const auto& [n, seconds] : sizes) {
                const bool based = base != sizes.end();
                std::printf("%-9s %-11ld %14.3f %14.2f %16.2f\n", family.c_str(), n,
                            seconds.front() * 1e6 / double(n),
                            based ? seconds.front() / base->second.front() : 0.0,
                            based ? median(seconds) / median(base->second) : 0.0);
            }
        }
    }

private:
    std::map<std::string, std::map<long, std::vector<double>>> times_;   // seconds of each repetition
};

}   // namespace

int main(int argc, char** argv) {
    benchmark::Initialize(&argc, argv);
    RatioReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    benchmark::Shutdown();
    return 0;
}
