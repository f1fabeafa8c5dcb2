// The table dataset's walk against the table object's own walk of the same file:
// First/Next with every field read through AsString, and GoRecord(-1) with every field
// read through its typed get. XB_BENCH_RECORDS sets the table size (default 1,000,000);
// XB_BENCH_TABLE walks an existing table instead of a new one.

#include <benchmark/benchmark.h>
#include <unistd.h>

#include <cstdlib>
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
        // XB_BENCH_TABLE names an existing table to walk instead (a peer's, for example).
        if (const char* given = std::getenv("XB_BENCH_TABLE")) return std::string(given);
        std::string p = "/tmp/xb_bench_dataset_" + std::to_string(getpid()) + ".dbf";
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
        std::atexit([] { unlink(TablePath().c_str()); });
        return p;
    }();
    return path;
}

void RawTableWalk(benchmark::State& state) {
    auto t = GSO_dBHandler::Open(TablePath(), false, false);
    for (auto _ : state) {
        size_t sum = 0;
        for (t->GoRecord(gsMoveTop); !t->Eof(); t->GoRecord(gsMoveNext)) {
            sum += t->GetText(1).size() + t->GetText(2).size();
            sum += static_cast<size_t>(t->GetNumber(3));
            sum += static_cast<size_t>(t->GetDate(4));
            sum += t->GetLogical(5);
        }
        benchmark::DoNotOptimize(sum);
    }
    state.SetItemsProcessed(state.iterations() * t->RecordCount());
}

// The table object formatting every field for display, as a grid shows it.
void RawTableWalkDisplay(benchmark::State& state) {
    auto t = GSO_dBHandler::Open(TablePath(), false, false);
    for (auto _ : state) {
        size_t sum = 0;
        for (t->GoRecord(gsMoveTop); !t->Eof(); t->GoRecord(gsMoveNext)) {
            for (int f = 1; f <= t->FieldCount(); ++f) sum += t->GetDisplayText(f).size();
        }
        benchmark::DoNotOptimize(sum);
    }
    state.SetItemsProcessed(state.iterations() * t->RecordCount());
}

void DatasetWalk(benchmark::State& state) {
    TRidedezDataSet ds;
    ds.SetTableName(TablePath());
    ds.SetExclusive(true);
    ds.SetTranslateASCII(false);
    ds.Open();
    for (auto _ : state) {
        size_t sum = 0;
        for (ds.First(); !ds.Eof(); ds.Next()) {
            for (int f = 0; f < ds.FieldCount(); ++f) sum += ds.Field(f).AsString().size();
        }
        benchmark::DoNotOptimize(sum);
    }
    state.SetItemsProcessed(state.iterations() * ds.RecordCount());
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

}  // namespace

BENCHMARK_MAIN();
