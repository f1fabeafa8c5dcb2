// The table dataset's walk against the table object's own walk of the same file:
// First/Next with every field read through AsString, and GoRecord(-1) with every field
// read through its typed get. XB_BENCH_RECORDS sets the table size (default 1,000,000);
// XB_BENCH_TABLE walks that table instead of a temporary one (made when missing).
// WalkRatios gives the dataset's walk over the two table-object walks from the same run:
//     XB_BENCH_TABLE=/tmp/walk.dbf XB_BENCH_RECORDS=300000 bench_dataset --benchmark_filter=WalkRatios
// On two shared cores (load 12-14), 300,000 records, three runs each of the builds before
// and after the fields were bound to the engine's field codec:
//     before: dataset 52-54 ms, typed 35-37 ms, display 52-54 ms: 1.46-1.49x typed, 0.97-1.01x display
//     after:  dataset 36-38 ms, typed 31-32 ms, display 51-53 ms: 1.19-1.20x typed, 0.72-0.74x display
// (the typed walk got faster too: it reads numbers and logicals through the same codec).

#include <benchmark/benchmark.h>
#include <unistd.h>

#include <algorithm>
#include <cstdlib>
#include <ctime>
#include <string>

#include "dataset/RidedezDataSet.h"
#include "engine/DbfCreate.h"
#include "engine/dBHandler.h"
#include "engine/platform/Paths.h"

namespace {

int Records() {
    const char* v = std::getenv("XB_BENCH_RECORDS");
    return v ? std::atoi(v) : 1000000;
}

const std::string& TablePath() {
    static std::string path = [] {
        // XB_BENCH_TABLE names a table to walk instead (a peer's, for example); it is made
        // (and kept) when it does not exist, so that a profile of the walk sees no set-up.
        const char* given = std::getenv("XB_BENCH_TABLE");
        if (given && access(given, F_OK) == 0) return std::string(given);
        std::string p = given ? std::string(given) : "/tmp/xb_bench_dataset_" + std::to_string(getpid()) + ".dbf";
        CreateDBFTable(p, 0x03,
                       {{"NAME", 'C', 20, 0}, {"CITY", 'C', 15, 0}, {"AMOUNT", 'N', 10, 2},
                        {"BDATE", 'D', 0, 0}, {"ACTIVE", 'L', 0, 0}},
                       {0, true});
        auto t = GSO_dBHandler::Open(p, true, false);
        const int n = Records();
        for (int i = 0; i < n; ++i) {
            t->BlankRecord();
            t->PutText(1, "Name " + std::to_string(i % 9973));
            t->PutText(2, "City " + std::to_string(i % 101));
            t->PutNumber(3, (i % 100000) / 4.0);
            t->PutText(4, "2024" + std::string(i % 2 ? "03" : "11") + std::to_string(10 + i % 18));
            t->PutLogical(5, i % 3 == 0);
            t->AddRecord();
        }
        if (!given) std::atexit([] { unlink(TablePath().c_str()); });
        return p;
    }();
    return path;
}

// One pass of each walk; each answers a sum of what it read so that nothing is left out.
size_t TypedPass(GSO_dBHandler& t) {
    size_t sum = 0;
    for (t.GoRecord(gsMoveTop); !t.Eof(); t.GoRecord(gsMoveNext)) {
        sum += t.GetText(1).size() + t.GetText(2).size();
        sum += static_cast<size_t>(t.GetNumber(3));
        sum += static_cast<size_t>(t.GetDate(4));
        sum += t.GetLogical(5);
    }
    return sum;
}

// The table object formatting every field for display, as a grid shows it.
size_t DisplayPass(GSO_dBHandler& t) {
    size_t sum = 0;
    for (t.GoRecord(gsMoveTop); !t.Eof(); t.GoRecord(gsMoveNext)) {
        for (int f = 1; f <= t.FieldCount(); ++f) sum += t.GetDisplayText(f).size();
    }
    return sum;
}

size_t DatasetPass(TRidedezDataSet& ds) {
    size_t sum = 0;
    for (ds.First(); !ds.Eof(); ds.Next()) {
        for (int f = 0; f < ds.FieldCount(); ++f) sum += ds.Field(f).AsString().size();
    }
    return sum;
}

void OpenForWalk(TRidedezDataSet& ds) {
    ds.SetTableName(TablePath());
    ds.SetExclusive(true);
    ds.SetTranslateASCII(false);
    ds.Open();
}

void RawTableWalk(benchmark::State& state) {
    auto t = GSO_dBHandler::Open(TablePath(), false, false);
    for (auto _ : state) benchmark::DoNotOptimize(TypedPass(*t));
    state.SetItemsProcessed(state.iterations() * t->RecordCount());
}

void RawTableWalkDisplay(benchmark::State& state) {
    auto t = GSO_dBHandler::Open(TablePath(), false, false);
    for (auto _ : state) benchmark::DoNotOptimize(DisplayPass(*t));
    state.SetItemsProcessed(state.iterations() * t->RecordCount());
}

void DatasetWalk(benchmark::State& state) {
    TRidedezDataSet ds;
    OpenForWalk(ds);
    for (auto _ : state) benchmark::DoNotOptimize(DatasetPass(ds));
    state.SetItemsProcessed(state.iterations() * ds.RecordCount());
}

double ThreadSeconds() {
    timespec ts{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &ts);
    return static_cast<double>(ts.tv_sec) + static_cast<double>(ts.tv_nsec) * 1e-9;
}

// The three walks in turn within every iteration, each timed by the thread's CPU time, so
// that the ratios compare passes made under the same load: DatasetVsTyped is the
// dataset's walk over the table object's typed walk, DatasetVsDisplay over its
// display-text walk (the least of the iterations' times of each).
void WalkRatios(benchmark::State& state) {
    auto t = GSO_dBHandler::Open(TablePath(), false, false);
    TRidedezDataSet ds;
    OpenForWalk(ds);
    double typed = 1e30, display = 1e30, dataset = 1e30;
    for (auto _ : state) {
        double s = ThreadSeconds();
        benchmark::DoNotOptimize(TypedPass(*t));
        double e = ThreadSeconds();
        typed = std::min(typed, e - s);
        benchmark::DoNotOptimize(DisplayPass(*t));
        s = ThreadSeconds();
        display = std::min(display, s - e);
        benchmark::DoNotOptimize(DatasetPass(ds));
        e = ThreadSeconds();
        dataset = std::min(dataset, e - s);
    }
    state.counters["TypedMs"] = typed * 1e3;
    state.counters["DisplayMs"] = display * 1e3;
    state.counters["DatasetMs"] = dataset * 1e3;
    state.counters["DatasetVsTyped"] = dataset / typed;
    state.counters["DatasetVsDisplay"] = dataset / display;
}

void DatasetRecordCount(benchmark::State& state) {
    TRidedezDataSet ds;
    ds.SetTableName(TablePath());
    ds.SetExclusive(true);
    ds.Open();
    for (auto _ : state) benchmark::DoNotOptimize(ds.RecordCount());
}

BENCHMARK(RawTableWalk)->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK(RawTableWalkDisplay)->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK(DatasetWalk)->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK(DatasetRecordCount);
BENCHMARK(WalkRatios)->Unit(benchmark::kMillisecond)->Iterations(7);

}  // namespace

BENCHMARK_MAIN();
