#!/usr/bin/env bash
# The table benchmark in one run: our engine (bench/bench_table), shapelib and Xbase64
# (bench/peers) and `cat FILE > /dev/null`, each workload as a whole process timed with
# hyperfine (or plain timing when hyperfine is missing), then the in-process figures of
# Google Benchmark. Prints one table.
#   usage: bench/run_table_bench.sh [WORKDIR]      env: N=1000000 RUNS=3 BUILD=build/bench
set -euo pipefail
cd "$(dirname "$0")/.."
N=${N:-1000000}
RUNS=${RUNS:-3}
BUILD=${BUILD:-build/bench}
W=${1:-$(mktemp -d /tmp/table-bench-XXXXXX)}
mkdir -p "$W"

# g++ 12 at -O3 gives false -Wrestrict warnings inside std::string (GCC bug 105329),
# which -Werror turns into errors in files outside the engine.
cmake -S . -B "$BUILD" -G Ninja -DCMAKE_BUILD_TYPE=Release -DXB_WITH_QT=OFF -DCMAKE_CXX_FLAGS=-Wno-restrict >/dev/null
targets="bench_table"
for t in bench_shp bench_xb; do
  if ninja -C "$BUILD" -t targets all 2>/dev/null | grep -q "^$t:"; then targets="$targets $t"; fi
done
cmake --build "$BUILD" --target $targets >/dev/null
OURS=$BUILD/bench/bench_table
SHP=$BUILD/bench/peers/bench_shp
XB=$BUILD/bench/peers/bench_xb

# name|command|prepare, one per line
cases=()
add() { cases+=("$1|$2|$3|$4"); }   # workload|program|command|prepare
add create ours "$OURS create $W/out_ours.dbf $N" "rm -f $W/out_ours.dbf"
[ -x "$SHP" ] && add create shapelib "$SHP create $W/out_shp.dbf $N" "rm -f $W/out_shp.dbf"
[ -x "$XB" ] && add create xbase64 "$XB create $W/out_xb.dbf $N" "rm -f $W/out_xb.dbf"
# The scans all read one file (shapelib's when it is there, as the peers' own runs do).
if [ -x "$SHP" ]; then "$SHP" create "$W/in.dbf" "$N"; else "$OURS" create "$W/in.dbf" "$N"; fi
add scan "ours (cache on)" "$OURS scan $W/in.dbf" ""
add scan "ours (cache off)" "$OURS scan $W/in.dbf nocache" ""
[ -x "$SHP" ] && add scan shapelib "$SHP scan $W/in.dbf" ""
[ -x "$XB" ] && add scan xbase64 "$XB scan $W/in.dbf" ""
add walk "ours GoRecord(-1), cache on" "$OURS walk $W/in.dbf" ""
add walk "cat FILE > /dev/null" "cat $W/in.dbf" ""

results=$W/results.txt
: > "$results"
for c in "${cases[@]}"; do
  IFS='|' read -r workload program command prepare <<< "$c"
  if command -v hyperfine >/dev/null; then
    args=(-N --runs "$RUNS" --warmup 1 --export-json "$W/h.json" --output=null)
    [ -n "$prepare" ] && args+=(--prepare "$prepare")
    hyperfine "${args[@]}" "$command" >/dev/null 2>&1
    /usr/bin/python3 - "$W/h.json" "$workload" "$program" >> "$results" <<'PY'
import json, sys
r = json.load(open(sys.argv[1]))["results"][0]  # user and system are means over the runs
print("%s|%s|%.3f|%.3f|%.3f|%.3f" % (sys.argv[2], sys.argv[3], r["median"], min(r["times"]),
                                     r["user"], r["system"]))
PY
  else
    [ -n "$prepare" ] && eval "$prepare"
    start=$(date +%s.%N); $command > /dev/null; end=$(date +%s.%N)
    t=$(echo "$end - $start" | bc)
    echo "$workload|$program|$t|$t|-|-" >> "$results"
  fi
done

echo "records: $N, runs: $RUNS, $(nproc) cores, load average $(cut -d' ' -f1-3 /proc/loadavg)"
echo
printf '| %-7s | %-28s | %9s | %9s | %7s | %7s |\n' workload program "median s" "min s" "user s" "sys s"
printf '|---------|------------------------------|-----------|-----------|---------|---------|\n'
while IFS='|' read -r workload program median min user sys; do
  printf '| %-7s | %-28s | %9s | %9s | %7s | %7s |\n' "$workload" "$program" "$median" "$min" "$user" "$sys"
done < "$results"
echo
echo "(user and sys: means of the runs)"
echo
echo "In-process (Google Benchmark, $N records):"
BENCH_RECORDS=$N BENCH_DIR=$W "$OURS" --benchmark_report_aggregates_only=true 2>/dev/null |
  grep -E '^BM_.*_(median|mean) ' || true
rm -f "$W"/*.dbf "$W/h.json"
