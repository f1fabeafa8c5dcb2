// The table benchmark: NAME C(20), CITY C(15), AMOUNT N(10,2), BDATE D, ACTIVE L, with the
// row formula the peers' benchmark programs use. Appending records; a full scan reading
// every field with the read-ahead cache on and off; a walk of GoRecord(-1) alone.
//
//   bench_table [Google Benchmark options]     in-process timings (BENCH_RECORDS, default 1,000,000)
//   bench_table create FILE N | scan FILE [nocache] | walk FILE
//                                              one workload as a whole process (for hyperfine)

#include <benchmark/benchmark.h>

#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "engine/DBFDate.h"
#include "engine/DbfCreate.h"
#include "engine/dBHandler.h"

namespace {

const char* const kCities[16] = {"Berlin", "Paris",  "Oslo",  "Madrid",  "Rome",    "Vienna", "Prague", "Lisbon",
                                 "Dublin", "Athens", "Riga",  "Tallinn", "Vilnius", "Warsaw", "Sofia",  "Bern"};

void Create(const std::string& path, long n) {
    TgsCreateOptions opt;
    opt.overwrite = true;
    CreateDBFTable(path, 0x03,
                   {{"NAME", 'C', 20, 0}, {"CITY", 'C', 15, 0}, {"AMOUNT", 'N', 10, 2}, {"BDATE", 'D', 0, 0},
                    {"ACTIVE", 'L', 0, 0}},
                   opt);
    auto t = GSO_dBHandler::Open(path, true, false);
    const TgsDBFDate& dates = TgsDBFDate::Instance();
    char b[64];
    for (long i = 0; i < n; ++i) {
        t->BlankRecord();
        std::snprintf(b, sizeof b, "N%08lu", static_cast<unsigned long>((i * 2654435761UL) % 100000000UL));
        t->PutText(1, b);
        t->PutText(2, kCities[i % 16]);
        t->PutNumber(3, ((i * 7919) % 2000000 - 1000000) / 100.0);
        const long day = i % 36500;
        const int y = 1920 + static_cast<int>(day / 365), m = 1 + static_cast<int>((day % 365) / 31 % 12),
                  dd = 1 + static_cast<int>(day % 28);
        std::snprintf(b, sizeof b, "%04d%02d%02d", y, m, dd);
        t->PutDate(4, dates.JulianFromText(b));
        t->PutLogical(5, i % 3 == 0);
        t->AddRecord();
    }
    t->CloseTable();
}

// Reads every field of every record with its typed get; answers a checksum.
long Scan(const std::string& path, bool cache) {
    auto t = GSO_dBHandler::Open(path, false, false);
    t->SetReadAhead(cache);
    long chars = 0;
    double sum = 0;
    for (t->GoRecord(gsMoveTop); !t->Eof(); t->GoRecord(gsMoveNext)) {
        chars += static_cast<long>(t->GetText(1).size() + t->GetText(2).size());
        sum += t->GetNumber(3);
        chars += t->GetDate(4) > 0;
        chars += t->GetLogical(5);
    }
    return chars + static_cast<long>(sum);
}

long Walk(const std::string& path) {
    auto t = GSO_dBHandler::Open(path, false, false);
    t->SetReadAhead(true);
    long n = 0;
    for (t->GoRecord(gsMoveTop); !t->Eof(); t->GoRecord(gsMoveNext)) ++n;
    return n;
}

long Records() {
    const char* e = std::getenv("BENCH_RECORDS");
    return e ? std::atol(e) : 1000000;
}

std::string ScratchTable(const char* name) {
    const char* dir = std::getenv("BENCH_DIR");
    return std::string(dir ? dir : "/tmp") + "/bench_table_" + name + "_" + std::to_string(getpid()) + ".dbf";
}

// One table shared by the read benchmarks.
const std::string& ReadTable() {
    static const std::string path = [] {
        std::string p = ScratchTable("read");
        Create(p, Records());
        return p;
    }();
    return path;
}

void BM_Append(benchmark::State& state) {
    const std::string path = ScratchTable("append");
    for (auto _ : state) Create(path, Records());
    state.SetItemsProcessed(state.iterations() * Records());
    std::remove(path.c_str());
}

void BM_ScanCacheOn(benchmark::State& state) {
    for (auto _ : state) benchmark::DoNotOptimize(Scan(ReadTable(), true));
    state.SetItemsProcessed(state.iterations() * Records());
}

void BM_ScanCacheOff(benchmark::State& state) {
    for (auto _ : state) benchmark::DoNotOptimize(Scan(ReadTable(), false));
    state.SetItemsProcessed(state.iterations() * Records());
}

void BM_WalkCached(benchmark::State& state) {
    for (auto _ : state) benchmark::DoNotOptimize(Walk(ReadTable()));
    state.SetItemsProcessed(state.iterations() * Records());
}

BENCHMARK(BM_Append)->Unit(benchmark::kMillisecond)->Iterations(1)->Repetitions(3);
BENCHMARK(BM_ScanCacheOn)->Unit(benchmark::kMillisecond)->Iterations(1)->Repetitions(3);
BENCHMARK(BM_ScanCacheOff)->Unit(benchmark::kMillisecond)->Iterations(1)->Repetitions(3);
BENCHMARK(BM_WalkCached)->Unit(benchmark::kMillisecond)->Iterations(1)->Repetitions(3);

}  // namespace

int main(int argc, char** argv) {
    if (argc >= 4 && std::strcmp(argv[1], "create") == 0) {
        Create(argv[2], std::atol(argv[3]));
        return 0;
    }
    if (argc >= 3 && std::strcmp(argv[1], "scan") == 0) {
        std::printf("%ld\n", Scan(argv[2], !(argc >= 4 && std::strcmp(argv[3], "nocache") == 0)));
        return 0;
    }
    if (argc >= 3 && std::strcmp(argv[1], "walk") == 0) {
        std::printf("records=%ld\n", Walk(argv[2]));
        return 0;
    }
    benchmark::Initialize(&argc, argv);
    ReadTable();  // made before the timings start, not inside the first read benchmark
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    if (!ReadTable().empty()) std::remove(ReadTable().c_str());
    return 0;
}
