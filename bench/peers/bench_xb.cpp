// Copied from the shared peers folder (peers/bench/bench_xb.cpp) so that the table benchmark
// times Xbase64 on the same table and row formula in the same run.
// bench_xb.cpp - Xbase64 3.1.2 benchmark (with ../xbfix.h workarounds)
//   bench_xb create FILE N      create NAME C(20) CITY C(15) AMOUNT N(10,2) BDATE D ACTIVE L, append N
//   bench_xb scan FILE          read every field of every record (GetField into a buffer)
//   bench_xb index FILE NDX M   build an NDX on NAME (ReIndex) then M random FindKey; prints phase times
// Build: g++ -O2 -rdynamic -I.. -o bench_xb bench_xb.cpp -lxbase64
#include "xbfix.h"
#include <chrono>
static const char *CITIES[16] = {"Berlin","Paris","Oslo","Madrid","Rome","Vienna","Prague","Lisbon",
  "Dublin","Athens","Riga","Tallinn","Vilnius","Warsaw","Sofia","Bern"};
static void name_of(long i, char *b) { snprintf(b, 32, "N%08lu", (unsigned long)((i * 2654435761UL) % 100000000UL)); }
static double now() { return std::chrono::duration<double>(std::chrono::steady_clock::now().time_since_epoch()).count(); }
int main(int argc, char **argv) {
  if (argc < 3) return 2;
  xbXBase x; xbDbf *d = xbfix_new<xbDbf>(&x);
  std::string mode = argv[1];
  if (mode == "create") {
    long n = atol(argv[3]);
    xbSchema s[] = {{"NAME", XB_CHAR_FLD, 20, 0}, {"CITY", XB_CHAR_FLD, 15, 0}, {"AMOUNT", XB_NUMERIC_FLD, 10, 2},
                    {"BDATE", XB_DATE_FLD, 8, 0}, {"ACTIVE", XB_LOGICAL_FLD, 1, 0}, {"", 0, 0, 0}};
    if (xbfix_create(d, argv[2], s, 3)) return 1;
    char b[64];
    for (long i = 0; i < n; i++) {
      d->BlankRecord();
      name_of(i, b); d->PutField((xbShort)0, b);
      d->PutField((xbShort)1, CITIES[i % 16]);
      snprintf(b, 64, "%.2f", ((i * 7919) % 2000000 - 1000000) / 100.0); d->PutField((xbShort)2, b);
      long day = i % 36500; int y = 1920 + day / 365, m = 1 + (day % 365) / 31 % 12, dd = 1 + day % 28;
      snprintf(b, 64, "%04d%02d%02d", y, m, dd); d->PutField((xbShort)3, b);
      d->PutField((xbShort)4, i % 3 == 0 ? "T" : "F");
      if (d->AppendRecord()) return 1;
    }
    d->CloseDatabase();
    return 0;
  }
  if (d->OpenDatabase(argv[2])) return 1;
  if (mode == "scan") {
    char buf[256]; long n = 0, bytes = 0;
    int nf = d->FieldCount();
    for (int rc = d->GetFirstRecord(); rc == XB_NO_ERROR; rc = d->GetNextRecord()) {
      for (int f = 0; f < nf; f++) { d->GetField((xbShort)f, buf); bytes += strlen(buf); }
      n++;
    }
    printf("records=%ld chars=%ld\n", n, bytes);
  } else if (mode == "index") {
    long m = atol(argv[4]);
    long n = d->NoOfRecords();
    xbNdx *ix = xbfix_new<xbNdx>(d);
    double t0 = now();
    if (ix->CreateIndex(argv[3], "NAME", XB_NOT_UNIQUE, XB_OVERLAY)) return 1;
    if (ix->ReIndex()) return 1;
    double t1 = now();
    char b[64]; long found = 0; unsigned long long r = 12345;
    for (long k = 0; k < m; k++) {
      r = r * 6364136223846793005ULL + 1442695040888963407ULL;
      long i = (long)((r >> 33) % (unsigned long long)n);
      name_of(i, b);
      char key[21]; snprintf(key, 21, "%-20s", b);
      if (ix->FindKey(key) == XB_FOUND) found++;
    }
    double t2 = now();
    printf("build_s=%.3f seeks=%ld found=%ld seek_s=%.3f\n", t1 - t0, m, found, t2 - t1);
  }
  d->CloseDatabase();
  return 0;
}
