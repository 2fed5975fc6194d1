// Writes a capture loop of table snapshots a minute apart: SNAPSHOTS snapshots of TABLES
// tables each, 9 lines a table (60 of 2,000 make about 1.1M lines). Every counter grows by a
// table's own step each minute; one table in 100 starts its counters again halfway.
// Usage: make_table_series SNAPSHOTS TABLES OUT

#include <cstdio>
#include <cstdlib>

#include "report_generator.h"

int main(int argc, char** argv) {
  if (argc != 4) {
    std::fprintf(stderr, "usage: make_table_series SNAPSHOTS TABLES OUT\n");
    return 2;
  }
  const int snapshots = std::atoi(argv[1]);
  const int tables = std::atoi(argv[2]);
  if (snapshots < 1 || tables < 1) {
    std::fprintf(stderr, "make_table_series: SNAPSHOTS and TABLES must be 1 or more\n");
    return 2;
  }
  std::FILE* out = bench::openOutput(argv[3]);
  if (out == nullptr) return 1;
  for (int s = 0; s < snapshots; ++s) {
    const int minutes = 17 * 60 + s;  // from 17:00 on, across midnight after 420 snapshots
    std::fprintf(out,
                 "\n                        Table Snapshot\n\n"
                 "First database connect timestamp     = 11/27/2026 07:58:13.602291\n"
                 "Last reset timestamp                 =\n"
                 "Snapshot timestamp                   = 2026-%s %02d:%02d:05.000000\n"
                 "Database name                        = ORDERS\n"
                 "Database path                        = /srv/db2/ordinst/NODE0000/SQL00003/MEMBER0000/\n"
                 "Input database alias                 = ORDERS\n"
                 "Number of accessed tables            = %d\n\nTable List\n",
                 minutes / 60 < 24 ? "11-27" : "11-28", minutes / 60 % 24, minutes % 60, tables);
    for (int t = 0; t < tables; ++t) {
      const long step = 10 + (t * 7919L) % 5000;
      const int since = t % 100 == 0 && s >= snapshots / 2 ? s - snapshots / 2 : s;
      std::fprintf(out,
                   " Table Schema        = APP%02d\n Table Name          = TABLE_%05d\n Table Type          = User\n"
                   " Data Object Pages   = %ld\n Rows Read           = %ld\n Rows Written        = %ld\n"
                   " Overflows           = %d\n Page Reorgs         = 0\n\n",
                   t % 20, t, 100 + step + s, 1000 + step * 60 * since, 10 + step * since, since / 10);
    }
  }
  return bench::closeOutput(out, argv[3]) ? 0 : 1;
}
