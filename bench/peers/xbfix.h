// Copied from the shared peers folder (peers/xbfix.h): the workarounds bench_xb needs.
// xbfix.h - workarounds for the Debian 12 amd64 build of Xbase64 3.1.2
// (libxbase64-dev 3.1.2-14).  Include once, in the file that has main(),
// and link with -rdynamic so the library's PLT calls bind to these.
//
// Bug 1: xbXBase::GetLong / GetULong / GetHBFULong copy 4 bytes into an
//   8-byte temporary and return all 8, so the upper half is stack garbage.
//   Every 32-bit number the library reads (record count, memo block number,
//   index node number) can come back huge: AppendRecord then fails with
//   XB_SEEK_ERROR (-112) and the library's own dumphdr prints counts such
//   as 140733193388036.  Interposing fixed versions cures it.
// Bug 2: xbDbf::CreateDatabase writes each field descriptor with
//   fwrite(&SchemaRec, 1, 18, fp); on LP64 the length/decimals members sit at
//   offsets 24/25 of that struct, so every descriptor gets length 0 and
//   decimals 0.  xbfix_create() rewrites bytes 16/17 of each descriptor after
//   CreateDatabase, then reopens the table.  (The record length in the header
//   is right.)
// Bug 3 (not worked around): xbNtx crashes (SIGSEGV in SplitLeafNode /
//   PutKeyData) on the first key insert, both from AppendRecord with an open
//   NTX and from ReIndex.  NTX files can't be made with this build.
#ifndef XBFIX_H
#define XBFIX_H
#include <xbase64/xbase64.h>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <new>

xbLong xbXBase::GetLong(const char *p) { int32_t v; std::memcpy(&v, p, 4); return (xbLong)v; }
xbULong xbXBase::GetULong(const char *p) { uint32_t v; std::memcpy(&v, p, 4); return (xbULong)v; }
xbULong xbXBase::GetHBFULong(const char *p) {
  uint32_t v; std::memcpy(&v, p, 4); return (xbULong)__builtin_bswap32(v);
}

// Deterministic "today" for the header's last-update bytes: the library asks
// time(); XBFIX_TIME (seconds since 1970) overrides, default 2001-02-03 12:00 UTC.
extern "C" time_t time(time_t *t) {
  static time_t v = 0;
  if (!v) { const char *e = std::getenv("XBFIX_TIME"); v = e ? (time_t)std::atoll(e) : (time_t)981201600; }
  if (t) *t = v;
  return v;
}

// Objects placed in zeroed memory (the library leaves some members unset).
template <class T, class... A> T *xbfix_new(A... a) {
  void *m = std::calloc(1, sizeof(T) + 4096);
  return new (m) T(a...);
}

// CreateDatabase + descriptor repair + reopen.  Returns an xbase return code.
static inline int xbfix_create(xbDbf *d, const char *path, xbSchema *s, int version) {
  d->SetVersion(version);
  int rc = d->CreateDatabase(path, s, XB_OVERLAY);
  if (rc) return rc;
  d->CloseDatabase();
  FILE *f = std::fopen(path, "r+b");
  if (!f) return XB_OPEN_ERROR;
  for (int i = 0; s[i].Type; i++) {
    std::fseek(f, 32 + 32 * i + 16, SEEK_SET);
    std::fputc(s[i].FieldLen, f);
    std::fputc(s[i].NoOfDecs, f);
  }
  std::fclose(f);
  return d->OpenDatabase(path);
}
#endif
