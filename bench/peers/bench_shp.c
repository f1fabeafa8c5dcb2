// Copied from the shared peers folder (peers/bench/bench_shp.c) so that the table benchmark
// times shapelib on the same table and row formula in the same run.
/* bench_shp.c - shapelib 1.5.0 (dbfopen) benchmark
 *   bench_shp create FILE N   |   bench_shp scan FILE
 * Build: gcc -O2 -o bench_shp bench_shp.c -lshp */
#include <shapefil.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
static const char *CITIES[16] = {"Berlin","Paris","Oslo","Madrid","Rome","Vienna","Prague","Lisbon",
  "Dublin","Athens","Riga","Tallinn","Vilnius","Warsaw","Sofia","Bern"};
int main(int argc, char **argv) {
  if (argc < 3) return 2;
  if (!strcmp(argv[1], "create")) {
    long n = atol(argv[3]);
    DBFHandle h = DBFCreate(argv[2]);
    DBFAddField(h, "NAME", FTString, 20, 0); DBFAddField(h, "CITY", FTString, 15, 0);
    DBFAddField(h, "AMOUNT", FTDouble, 10, 2); DBFAddNativeFieldType(h, "BDATE", 'D', 8, 0);
    DBFAddField(h, "ACTIVE", FTLogical, 1, 0);
    char b[64];
    for (long i = 0; i < n; i++) {
      snprintf(b, 64, "N%08lu", (unsigned long)((i * 2654435761UL) % 100000000UL));
      DBFWriteStringAttribute(h, (int)i, 0, b);
      DBFWriteStringAttribute(h, (int)i, 1, CITIES[i % 16]);
      DBFWriteDoubleAttribute(h, (int)i, 2, ((i * 7919) % 2000000 - 1000000) / 100.0);
      long day = i % 36500; int y = 1920 + day / 365, m = 1 + (day % 365) / 31 % 12, dd = 1 + day % 28;
      snprintf(b, 64, "%04d%02d%02d", y, m, dd); DBFWriteAttributeDirectly(h, (int)i, 3, b);
      DBFWriteLogicalAttribute(h, (int)i, 4, i % 3 == 0 ? 'T' : 'F');
    }
    DBFClose(h);
    return 0;
  }
  DBFHandle h = DBFOpen(argv[2], "rb");
  if (!h) return 1;
  long n = DBFGetRecordCount(h), nf = DBFGetFieldCount(h), chars = 0;
  for (long i = 0; i < n; i++)
    for (int f = 0; f < nf; f++) chars += strlen(DBFReadStringAttribute(h, (int)i, f));
  printf("records=%ld chars=%ld\n", n, chars);
  DBFClose(h);
  return 0;
}
