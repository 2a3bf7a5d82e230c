// CadPolygon::isValid and getArea against Boost.Geometry (is_valid, area) and GEOS (GEOSisValid_r,
// GEOSArea_r) on the same star-shaped polygons of 1 000 to 100 000 vertices. Each family prints the
// ratio peer time / our time. The peers' validity tests grow much faster than ours, so their largest
// runs are held to a single iteration.
#include <benchmark/benchmark.h>

#include <geos_c.h>

#include <boost/geometry.hpp>
#include <boost/geometry/geometries/point_xy.hpp>
#include <boost/geometry/geometries/polygon.hpp>

#include <cmath>
#include <cstdio>
#include <map>
#include <numbers>
#include <string>

#include "Geometry/CadPolygon.h"
#include "Geometry/Tolerance.h"

namespace {
using tarnwick::CadPoint;
using tarnwick::CadPolygon;
using tarnwick::PolyPoint;
using BoostPoint = boost::geometry::model::d2::point_xy<double>;
using BoostPolygon = boost::geometry::model::polygon<BoostPoint, /*ClockWise=*/false>;

// A star of n / 2 spikes between radii 0.5 and 1: long thin edges, as many crossing any vertical line.
std::vector<std::pair<double, double>> starPoints(std::size_t n) {
    std::vector<std::pair<double, double>> points;
    for (std::size_t i = 0; i < n; ++i) {
        const double angle = 2.0 * std::numbers::pi * static_cast<double>(i) / static_cast<double>(n);
        const double radius = i % 2 ? 0.5 : 1.0;
        points.emplace_back(radius * std::cos(angle), radius * std::sin(angle));
    }
    return points;
}

CadPolygon ourStar(std::size_t n) {
    CadPolygon polygon(n);
    for (const auto& [x, y] : starPoints(n)) polygon.append(PolyPoint(CadPoint(x, y)));
    return polygon;
}

BoostPolygon boostStar(std::size_t n) {
    BoostPolygon polygon;
    for (const auto& [x, y] : starPoints(n)) polygon.outer().emplace_back(x, y);
    polygon.outer().push_back(polygon.outer().front());
    return polygon;
}

struct Geos {
    GEOSContextHandle_t context = GEOS_init_r();
    ~Geos() { GEOS_finish_r(context); }
    GEOSGeometry* star(std::size_t n) const {
        const auto points = starPoints(n);
        GEOSCoordSequence* sequence = GEOSCoordSeq_create_r(context, static_cast<unsigned>(n + 1), 2);
        for (std::size_t i = 0; i <= n; ++i) {
            const auto& [x, y] = points[i % n];
            GEOSCoordSeq_setXY_r(context, sequence, static_cast<unsigned>(i), x, y);
        }
        GEOSGeometry* ring = GEOSGeom_createLinearRing_r(context, sequence);
        return GEOSGeom_createPolygon_r(context, ring, nullptr, 0);
    }
};
Geos& geos() {
    static Geos instance;
    return instance;
}

std::map<std::string, double> secondsPerRun;   // "name/n" -> mean time of one run, from the reporter

// --- Ours --------------------------------------------------------------------------------------
void OursIsValid(benchmark::State& state) {
    const CadPolygon polygon = ourStar(static_cast<std::size_t>(state.range(0)));
    for (auto _ : state) {
        const bool valid = polygon.isValid(true, tarnwick::Tolerance::plan);
        if (!valid) state.SkipWithError("a star counted as invalid");
        benchmark::DoNotOptimize(valid);
    }
}
void OursArea(benchmark::State& state) {
    const CadPolygon polygon = ourStar(static_cast<std::size_t>(state.range(0)));
    for (auto _ : state) benchmark::DoNotOptimize(polygon.getArea());
}

// --- Boost.Geometry ----------------------------------------------------------------------------
void BoostIsValid(benchmark::State& state) {
    const BoostPolygon polygon = boostStar(static_cast<std::size_t>(state.range(0)));
    for (auto _ : state) benchmark::DoNotOptimize(boost::geometry::is_valid(polygon));
}
void BoostArea(benchmark::State& state) {
    const BoostPolygon polygon = boostStar(static_cast<std::size_t>(state.range(0)));
    for (auto _ : state) benchmark::DoNotOptimize(boost::geometry::area(polygon));
}

// --- GEOS --------------------------------------------------------------------------------------
void GeosIsValid(benchmark::State& state) {
    GEOSGeometry* polygon = geos().star(static_cast<std::size_t>(state.range(0)));
    for (auto _ : state) benchmark::DoNotOptimize(GEOSisValid_r(geos().context, polygon));
    GEOSGeom_destroy_r(geos().context, polygon);
}
void GeosArea(benchmark::State& state) {
    GEOSGeometry* polygon = geos().star(static_cast<std::size_t>(state.range(0)));
    double area = 0.0;
    for (auto _ : state) benchmark::DoNotOptimize(GEOSArea_r(geos().context, polygon, &area));
    GEOSGeom_destroy_r(geos().context, polygon);
}

constexpr long kSizes[] = {1000, 10000, 100000};

void registerFamily(const char* name, void (*function)(benchmark::State&), bool slowPeer) {
    for (long n : kSizes) {
        auto* b = benchmark::RegisterBenchmark(name, function)->Arg(n)->Unit(benchmark::kMillisecond);
        if (slowPeer && n >= 100000)
            b->Iterations(1);   // seconds a run: once is enough
        else if (slowPeer && n >= 10000)
            b->Iterations(3);
    }
}

// Collects each run's mean time, then prints our time and the peers' ratios per size.
class RatioReporter : public benchmark::ConsoleReporter {
public:
    void ReportRuns(const std::vector<Run>& runs) override {
        for (const Run& run : runs) {
            std::string name = run.benchmark_name();
            name = name.substr(0, name.find("/iterations:"));   // the capped peers' names carry their cap
            secondsPerRun[name] = run.GetAdjustedRealTime() / 1e3;   // milliseconds unit
        }
        ConsoleReporter::ReportRuns(runs);
    }
    void Finalize() override {
        ConsoleReporter::Finalize();
        std::printf("\n%-10s %-9s %14s %14s %14s\n", "operation", "vertices", "ours (ms)", "Boost/ours",
                    "GEOS/ours");
        for (const char* op : {"IsValid", "Area"}) {
            for (long n : kSizes) {
                const std::string suffix = std::string(op) + "/" + std::to_string(n);
                const double ours = secondsPerRun["Ours" + suffix];
                if (!(ours > 0.0)) continue;
                std::printf("%-10s %-9ld %14.3f %14.1f %14.1f\n", op, n, ours * 1e3,
                            secondsPerRun["Boost" + suffix] / ours, secondsPerRun["Geos" + suffix] / ours);
            }
        }
    }
};
}   // namespace

int main(int argc, char** argv) {
    registerFamily("OursIsValid", OursIsValid, false);
    registerFamily("BoostIsValid", BoostIsValid, true);
    registerFamily("GeosIsValid", GeosIsValid, true);
    registerFamily("OursArea", OursArea, false);
    registerFamily("BoostArea", BoostArea, false);
    registerFamily("GeosArea", GeosArea, false);
    benchmark::Initialize(&argc, argv);
    RatioReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    benchmark::Shutdown();
    return 0;
}
