// The indexed workloads on the standard table DIR/bench.dbf (NAME C(20), CITY C(15),
// AMOUNT N(10,2), BDATE D, ACTIVE L), one workload per run of the program, named as
// Harbour's `hbpeer bench` phases so that scripts/bench-index.sh can set them side by side:
//
//   bench_index create N DIR        the table from the shared LCG (the same rows as hbpeer's)
//   bench_index PHASE N DIR         one timed workload on DIR/bench.dbf
//
// Phases: ntx_name ntx_amount ndx_name cdx_name cdx_amount (builds), seek_ntx seek_ntx_sh
// seek_cdx seek_cdx_sh (100,000 seeks of existing NAME values, records drawn by r(N) + 1 from
// the LCG seeded with 54321), filter (AMOUNT > 500 .AND. ACTIVE counted over the table),
// append_ntx append_cdx (100,000 appends with the NAME index open, on a copy of the table),
// mdx_name mdx_amount (MDX builds; Harbour has no MDX). Seeks, the filter and the appends go
// through the table's own order, filter and index upkeep, as a program uses them.
//
// Output, one line: PHASE N ms checksum peak_kb file_bytes. The time covers only the timed
// loop or build, as Harbour's internal figures do; peak_kb is the growth of the process's
// peak resident size during that work; file_bytes the size of the index file it made or used.
// With BENCH_CPU set, the processor time of that work goes to standard error as well
// ("cpu_ms N"): on a busy machine it moves less than the clock between two builds of ours.

#include <sys/resource.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <filesystem>
#include <fstream>
#include <map>
#include <functional>
#include <memory>
#include <stdexcept>
#include <string>
#include <vector>

#include "engine/DBFDate.h"
#include "engine/DbfCreate.h"
#include "engine/dBHandler.h"
#include "index/cdx/GSobjCDXFile.h"
#include "index/core/GSobjIndexFile.h"
#include "index/mdx/GSobjMDXFile.h"
#include "index/ndx/GSobjNDXFile.h"
#include "index/ntx/GSobjNTXFile.h"

namespace {

namespace fs = std::filesystem;

constexpr int kSeeks = 100000;
constexpr int kAppends = 100000;
constexpr uint32_t kTableSeed = 12345;
constexpr uint32_t kSeekSeed = 54321;
constexpr uint32_t kAppendSeed = 777;

// The generator every bench program of the peers uses.
class Lcg {
public:
    explicit Lcg(uint32_t seed) : state_(seed) {}
    uint32_t R15() {
        state_ = (state_ * 1103515245u + 12345u) & 0x7FFFFFFFu;
        return state_ >> 16;
    }
    uint32_t R(uint32_t n) {
        if (n <= 32768) return R15() % n;
        const uint32_t high = R15();
        return (high * 32768u + R15()) % n;
    }

private:
    uint32_t state_;
};

const char* const kCities[16] = {"London", "Paris",  "New York", "Berlin", "Madrid", "Rome",   "Oslo",   "Zurich",
                                 "Amsterdam", "Dublin", "Lisbon", "Vienna", "Prague", "Warsaw", "Athens", "Helsinki"};

std::string RandomName(Lcg& g) {
    std::string name(1, static_cast<char>('A' + g.R(26)));
    const uint32_t more = 5 + g.R(11);
    for (uint32_t i = 0; i < more; ++i) name.push_back(static_cast<char>('a' + g.R(26)));
    return name;
}

double RandomAmount(Lcg& g) { return (static_cast<double>(g.R(199999999)) - 99999999.0) / 100.0; }

std::unique_ptr<GSO_dBHandler> OpenTable(const std::string& path, bool shared) {
    return GSO_dBHandler::Open(path, true, shared);
}

void CreateTable(const std::string& path, long n) {
    TgsCreateOptions opt;
    opt.overwrite = true;
    CreateDBFTable(path, 0x03,
                   {{"NAME", 'C', 20, 0}, {"CITY", 'C', 15, 0}, {"AMOUNT", 'N', 10, 2}, {"BDATE", 'D', 0, 0},
                    {"ACTIVE", 'L', 0, 0}},
                   opt);
    auto t = GSO_dBHandler::Open(path, true, false);
    const int32_t base = TgsDBFDate::Instance().JulianFromText("19500101");
    Lcg g(kTableSeed);
    for (long i = 0; i < n; ++i) {
        t->BlankRecord();
        t->PutText(1, RandomName(g));
        t->PutText(2, kCities[g.R(16)]);
        t->PutNumber(3, RandomAmount(g));
        t->PutDate(4, base + static_cast<int32_t>(g.R(25000)));
        t->PutLogical(5, g.R(2) == 1);
        t->AddRecord();
    }
    t->CloseTable();
}

long PeakKb() {
    std::ifstream status("/proc/self/status");
    std::string line;
    while (std::getline(status, line))
        if (line.rfind("VmHWM:", 0) == 0) return std::atol(line.c_str() + 6);
    rusage u{};
    getrusage(RUSAGE_SELF, &u);
    return u.ru_maxrss;
}

struct Result {
    double ms = 0;
    long checksum = 0;
    long peakKb = 0;
    long long fileBytes = 0;
};

// Times `work`, with the growth of the peak resident size it caused.
template <class F>
void Timed(Result& r, F work) {
    const long before = PeakKb();
    const auto start = std::chrono::steady_clock::now();
    const std::clock_t cpuStart = std::clock();
    work();
    const auto end = std::chrono::steady_clock::now();
    if (std::getenv("BENCH_CPU"))
        std::fprintf(stderr, "cpu_ms %.0f\n", 1000.0 * static_cast<double>(std::clock() - cpuStart) / CLOCKS_PER_SEC);
    r.ms = std::chrono::duration<double, std::milli>(end - start).count();
    r.peakKb = PeakKb() - before;
}

long long SizeOf(const std::string& path) {
    std::error_code ec;
    const auto n = fs::file_size(path, ec);
    return ec ? -1 : static_cast<long long>(n);
}

enum class Format { Ntx, Ndx, Cdx, Mdx };

std::string Extension(Format f) {
    switch (f) {
        case Format::Ntx: return ".ntx";
        case Format::Ndx: return ".ndx";
        case Format::Cdx: return ".cdx";
        case Format::Mdx: return ".mdx";
    }
    return "";
}

// Creates an index file of the format.
std::unique_ptr<GSobjIndexFile> MakeBag(Format f, GSO_dBaseFld* table, const std::string& path, bool create,
                                        bool shared) {
    switch (f) {
        case Format::Ntx: return std::make_unique<GSobjNTXFile>(table, create, create, shared, true, path);
        case Format::Ndx: return std::make_unique<GSobjNDXFile>(table, create, create, shared, true, path);
        case Format::Cdx: return std::make_unique<GSobjCDXFile>(table, create, create, shared, true, path);
        case Format::Mdx: return std::make_unique<GSobjMDXFile>(table, create, create, shared, true, path);
    }
    return nullptr;
}

// Our files sit beside Harbour's under names of their own.
std::string OurIndex(const std::string& dir, const std::string& key, Format f) {
    return dir + "/ours_" + key + Extension(f);
}

Result Build(const std::string& dir, Format f, const std::string& field) {
    Result r;
    auto table = OpenTable(dir + "/bench.dbf", false);
    table->SetReadAhead(true);
    const std::string path = OurIndex(dir, field == "NAME" ? "name" : "amount", f);
    fs::remove(path);
    Timed(r, [&] {
        auto bag = MakeBag(f, table.get(), path, true, false);
        GSobjIndexTag* tag = bag->CreateTag(field, field, "", false, true);
        r.checksum = tag->MoveTo(-3);
    });
    r.fileBytes = SizeOf(path);
    return r;
}

// Opens our index file through the table and selects its first tag.
void SelectFirstTag(GSO_dBHandler& table, const std::string& path) {
    if (table.OpenIndexFile(path) != 0) throw std::runtime_error("cannot open " + path);
    table.SelectTag(table.IndexFile(1)->Tag(0)->Name(), false);
}

Result Seeks(const std::string& dir, Format f, bool shared, long n) {
    Result r;
    const std::string path = OurIndex(dir, "name", f);
    if (!fs::exists(path)) Build(dir, f, "NAME");
    auto table = OpenTable(dir + "/bench.dbf", shared);
    // The NAME values of the drawn records, collected before the timing.
    std::vector<std::string> keys(kSeeks);
    Lcg g(kSeekSeed);
    for (auto& key : keys) {
        table->GoRecord(static_cast<int32_t>(g.R(static_cast<uint32_t>(n)) + 1));
        key = table->GetText(1);
    }
    SelectFirstTag(*table, path);
    Timed(r, [&] {
        for (const std::string& key : keys) r.checksum += table->SeekKey(key) ? 1 : 0;
    });
    r.fileBytes = SizeOf(path);
    return r;
}

// The filter set on the table and counted from top to bottom in its record movement.
Result Filter(const std::string& dir) {
    Result r;
    auto table = OpenTable(dir + "/bench.dbf", false);
    Timed(r, [&] {
        table->SetFilter("AMOUNT > 500 .AND. ACTIVE", false, false);
        table->SetFilterActive(true);
        for (table->GoRecord(gsMoveTop); !table->Eof(); table->GoRecord(gsMoveNext)) ++r.checksum;
    });
    return r;
}

Result Appends(const std::string& dir, Format f) {
    Result r;
    const std::string built = OurIndex(dir, "name", f);
    if (!fs::exists(built)) Build(dir, f, "NAME");
    const std::string table = dir + "/ours_append.dbf";
    const std::string index = dir + "/ours_append" + Extension(f);
    fs::copy_file(dir + "/bench.dbf", table, fs::copy_options::overwrite_existing);
    fs::copy_file(built, index, fs::copy_options::overwrite_existing);
    {
        auto t = OpenTable(table, false);
        SelectFirstTag(*t, index);
        Lcg g(kAppendSeed);
        std::vector<std::pair<std::string, double>> rows(kAppends);
        for (auto& row : rows) row = {RandomName(g), RandomAmount(g)};
        Timed(r, [&] {
            for (const auto& row : rows) {
                t->BlankRecord();
                t->PutText(1, row.first);
                t->PutNumber(3, row.second);
                t->AddRecord();
            }
            t->CloseTable();
        });
        r.checksum = static_cast<long>(rows.size());
    }
    r.fileBytes = SizeOf(index);
    fs::remove(table);
    fs::remove(index);
    return r;
}

int Usage() {
    std::fprintf(stderr,
                 "usage: bench_index create N DIR\n"
                 "       bench_index PHASE N DIR   (ntx_name ntx_amount ndx_name cdx_name cdx_amount\n"
                 "                                  seek_ntx seek_ntx_sh seek_cdx seek_cdx_sh filter\n"
                 "                                  append_ntx append_cdx mdx_name mdx_amount)\n");
    return 1;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 4) return Usage();
    const std::string phase = argv[1];
    const long n = std::atol(argv[2]);
    const std::string dir = argv[3];
    if (n < 1) return Usage();
    const std::map<std::string, std::function<Result()>> phases = {
        {"ntx_name", [&] { return Build(dir, Format::Ntx, "NAME"); }},
        {"ntx_amount", [&] { return Build(dir, Format::Ntx, "AMOUNT"); }},
        {"ndx_name", [&] { return Build(dir, Format::Ndx, "NAME"); }},
        {"cdx_name", [&] { return Build(dir, Format::Cdx, "NAME"); }},
        {"cdx_amount", [&] { return Build(dir, Format::Cdx, "AMOUNT"); }},
        {"mdx_name", [&] { return Build(dir, Format::Mdx, "NAME"); }},
        {"mdx_amount", [&] { return Build(dir, Format::Mdx, "AMOUNT"); }},
        {"seek_ntx", [&] { return Seeks(dir, Format::Ntx, false, n); }},
        {"seek_ntx_sh", [&] { return Seeks(dir, Format::Ntx, true, n); }},
        {"seek_cdx", [&] { return Seeks(dir, Format::Cdx, false, n); }},
        {"seek_cdx_sh", [&] { return Seeks(dir, Format::Cdx, true, n); }},
        {"filter", [&] { return Filter(dir); }},
        {"append_ntx", [&] { return Appends(dir, Format::Ntx); }},
        {"append_cdx", [&] { return Appends(dir, Format::Cdx); }},
    };
    try {
        if (phase == "create") {
            Result r;
            Timed(r, [&] { CreateTable(dir + "/bench.dbf", n); });
            std::printf("create %ld %.0f 0 %ld %lld\n", n, r.ms, r.peakKb, SizeOf(dir + "/bench.dbf"));
            return 0;
        }
        auto it = phases.find(phase);
        if (it == phases.end()) return Usage();
        const Result r = it->second();
        std::printf("%s %ld %.0f %ld %ld %lld\n", phase.c_str(), n, r.ms, r.checksum, r.peakKb, r.fileBytes);
    } catch (const std::exception& e) {
        std::fprintf(stderr, "bench_index %s: %s\n", phase.c_str(), e.what());
        return 2;
    }
    return 0;
}
