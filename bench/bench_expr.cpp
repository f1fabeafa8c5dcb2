// Evaluation speed of two typical expressions, an index key and a filter, over a table of
// 1,000,000 records walked with the read-ahead cache on; and the allocations made while
// evaluating (expected: none).

#include <benchmark/benchmark.h>
#include <unistd.h>

#include <atomic>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <new>
#include <string>

#include "engine/DbfCreate.h"
#include "engine/dBHandler.h"
#include "index/expr/TgsExpHandler.h"
#include "index/expr/TgsExpUserLink.h"
#include "index/expr/TgsVariant.h"
#include "engine/tableexpr/TgslDBFFunctions.h"

// The counting operator new below pairs malloc with free; GCC cannot see that through
// inlined library code and warns at every deallocation.
#pragma GCC diagnostic ignored "-Wmismatched-new-delete"

namespace {

std::atomic<long> gAllocations{0};
bool gCounting = false;

constexpr int kRecords = 1000000;

// NAME C(20), BDATE D, AMOUNT N(10,2), ACTIVE L, written as raw records behind an empty
// table's header (the record count follows from the file size).
std::string MakeTable() {
    std::string path = "/tmp/bench_expr_" + std::to_string(getpid()) + ".dbf";
    TgsCreateOptions opt;
    opt.overwrite = true;
    CreateDBFTable(path, 0x03,
                   {{"NAME", 'C', 20, 0}, {"BDATE", 'D', 0, 0}, {"AMOUNT", 'N', 10, 2},
                    {"ACTIVE", 'L', 0, 0}},
                   opt);
    FILE* f = std::fopen(path.c_str(), "r+b");
    std::fseek(f, -1, SEEK_END);  // over the end-of-file mark
    char rec[1 + 20 + 8 + 10 + 1 + 1];
    for (int i = 0; i < kRecords; ++i) {
        std::snprintf(rec, sizeof rec, " %-20s%04d%02d%02d%10.2f%c", ("name" + std::to_string(i % 9973)).c_str(),
                      1950 + i % 70, 1 + i % 12, 1 + i % 28, (i % 100000) / 100.0, i % 3 ? 'T' : 'F');
        std::fwrite(rec, 1, sizeof rec - 1, f);
    }
    std::fputc(0x1A, f);
    std::fseek(f, 4, SEEK_SET);
    uint32_t n = kRecords;
    uint8_t count[4] = {static_cast<uint8_t>(n), static_cast<uint8_t>(n >> 8),
                        static_cast<uint8_t>(n >> 16), static_cast<uint8_t>(n >> 24)};
    std::fwrite(count, 1, 4, f);
    std::fclose(f);
    return path;
}

struct Table {
    std::string path = MakeTable();
    std::unique_ptr<GSO_dBHandler> table = GSO_dBHandler::Open(path, false, true);
    TgsExpUserLink link;
    Table() {
        TgslDBFRegisterTable(link, *table);
        table->SetReadAhead(true);
        table->GoRecord(gsMoveTop);
    }
    ~Table() { std::remove(path.c_str()); }
};

Table& Shared() {
    static Table t;
    return t;
}

void Walk(benchmark::State& state, const char* expression, bool variant) {
    Table& t = Shared();
    t.table->GoRecord(gsMoveTop);
    TgsExpHandler h(&t.link, false, expression);
    char buffer[kExpOperandBuffer];
    TgsVariant key(256);
    long allocations = 0, evaluations = 0;
    for (auto _ : state) {
        gAllocations = 0;
        gCounting = true;
        if (variant) h.EvaluateToVariant(key);
        else h.Evaluate(buffer, sizeof buffer);
        gCounting = false;
        allocations += gAllocations;
        ++evaluations;
        benchmark::DoNotOptimize(buffer);
        t.table->GoRecord(gsMoveNext);
        if (t.table->Eof()) t.table->GoRecord(gsMoveTop);
    }
    state.SetItemsProcessed(evaluations);
    state.counters["allocs_per_eval"] =
        benchmark::Counter(evaluations ? static_cast<double>(allocations) / evaluations : 0);
}

void BM_KeyUpperNamePlusDtos(benchmark::State& state) { Walk(state, "UPPER(NAME)+DTOS(BDATE)", true); }
void BM_FilterAmountAndActive(benchmark::State& state) { Walk(state, "AMOUNT > 500 .AND. ACTIVE", false); }

// Whole passes over the table: evaluations per second including the walk.
void BM_PassKey(benchmark::State& state) {
    Table& t = Shared();
    TgsExpHandler h(&t.link, false, "UPPER(NAME)+DTOS(BDATE)");
    TgsVariant key(256);
    for (auto _ : state) {
        for (t.table->GoRecord(gsMoveTop); !t.table->Eof(); t.table->GoRecord(gsMoveNext))
            h.EvaluateToVariant(key);
    }
    state.SetItemsProcessed(state.iterations() * kRecords);
}

void BM_PassFilter(benchmark::State& state) {
    Table& t = Shared();
    TgsExpHandler h(&t.link, false, "AMOUNT > 500 .AND. ACTIVE");
    char buffer[kExpVariantBuffer];
    long matches = 0;
    for (auto _ : state) {
        for (t.table->GoRecord(gsMoveTop); !t.table->Eof(); t.table->GoRecord(gsMoveNext)) {
            h.Evaluate(buffer, sizeof buffer);
            matches += buffer[0];
        }
    }
    benchmark::DoNotOptimize(matches);
    state.SetItemsProcessed(state.iterations() * kRecords);
}

BENCHMARK(BM_KeyUpperNamePlusDtos);
BENCHMARK(BM_FilterAmountAndActive);
BENCHMARK(BM_PassKey)->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK(BM_PassFilter)->Unit(benchmark::kMillisecond)->Iterations(3);

}  // namespace

void* operator new(std::size_t n) {
    if (gCounting) ++gAllocations;
    if (void* p = std::malloc(n ? n : 1)) return p;
    throw std::bad_alloc();
}
void operator delete(void* p) noexcept { std::free(p); }
void operator delete(void* p, std::size_t) noexcept { std::free(p); }

BENCHMARK_MAIN();
