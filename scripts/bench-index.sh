#!/usr/bin/env bash
# The indexed workloads in one run, ours (bench/bench_index) and a peer's, each phase of both
# on the same table one after the other, printed as one table: workload, our ms, the peer's
# ms, the ratio, our peak memory growth and both files' sizes. The peer is Harbour (hbpeer
# bench), except for the NDX build: Harbour has no NDX, so Xbase64 times that one
# (bench/peers/bench_xb, when it was built; its CreateIndex and ReIndex on NAME).
# Not part of CI.
#   usage: scripts/bench-index.sh [N] [WORKDIR]     env: BUILD=build/release RUNS=1
set -euo pipefail
cd "$(dirname "$0")/.."
N=${1:-1000000}
W=${2:-$(mktemp -d /tmp/index-bench-XXXXXX)}
BUILD=${BUILD:-build/release}
RUNS=${RUNS:-1}
HB=$(cd ../shared/peers/harbour/bin 2>/dev/null && pwd)/hbpeer
mkdir -p "$W"
W=$(cd "$W" && pwd)

if [ ! -x "$HB" ]; then echo "hbpeer not found at $HB" >&2; exit 1; fi
cmake --build "$BUILD" --target bench_index >/dev/null
cmake --build "$BUILD" --target bench_xb >/dev/null 2>&1 || true  # the NDX peer, when Xbase64 is installed
OURS=$BUILD/bench/bench_index
XB=$BUILD/bench/peers/bench_xb

# Harbour makes the table; both sides read that one file.
"$HB" bench create "$N" "$W" >/dev/null

# phase|Harbour's file|our file (empty: none)
phases=(
  "ntx_name|bname.ntx|ours_name.ntx"
  "ntx_amount|bamount.ntx|ours_amount.ntx"
  "ndx_name|xb_name.ndx|ours_name.ndx"
  "cdx_name|bname.cdx|ours_name.cdx"
  "cdx_amount|bamount.cdx|ours_amount.cdx"
  "mdx_name||ours_name.mdx"
  "mdx_amount||ours_amount.mdx"
  "seek_ntx|bname.ntx|ours_name.ntx"
  "seek_ntx_sh|bname.ntx|ours_name.ntx"
  "seek_cdx|bname.cdx|ours_name.cdx"
  "seek_cdx_sh|bname.cdx|ours_name.cdx"
  "filter||"
  "append_ntx|bname.ntx|"
  "append_cdx|bname.cdx|"
)
harbour_phase() {  # PHASE: prints internal ms, keeping the table and its files as they were
  local phase=$1 out
  case $phase in
    ndx_name)
      # On a copy of the table, so that nothing of Xbase64's touches the one both sides read.
      if [ ! -x "$XB" ]; then echo "-"; return; fi
      cp "$W/bench.dbf" "$W/xb.dbf"
      out=$("$XB" index "$W/xb.dbf" "$W/xb_name.ndx" 0)
      rm -f "$W/xb.dbf"
      echo "$out" | sed -n 's/.*build_s=\([0-9.]*\).*/\1/p' | awk '{printf "%d\n", $1 * 1000 + 0.5}'
      return ;;
    mdx_*) echo "-"; return ;;
    append_*)
      cp "$W/bench.dbf" "$W/keep.dbf"; cp "$W/bname.ntx" "$W/keep.ntx"; cp "$W/bname.cdx" "$W/keep.cdx"
      out=$("$HB" bench "$phase" "$N" "$W")
      mv "$W/keep.dbf" "$W/bench.dbf"; mv "$W/keep.ntx" "$W/bname.ntx"; mv "$W/keep.cdx" "$W/bname.cdx" ;;
    *) out=$("$HB" bench "$phase" "$N" "$W") ;;
  esac
  echo "$out" | awk '{print $3}'
}
best() { sort -n | head -1; }
size() { if [ -n "$1" ] && [ -f "$W/$1" ]; then stat -c %s "$W/$1"; else echo "-"; fi; }

results=$W/results.txt
: > "$results"
for entry in "${phases[@]}"; do
  IFS='|' read -r phase hbfile ourfile <<< "$entry"
  hb_times=(); our_times=(); peak=-; checksum=-
  for ((run = 0; run < RUNS; run++)); do
    hb_times+=("$(harbour_phase "$phase")")
    read -r _ _ ms checksum peak _ < <("$OURS" "$phase" "$N" "$W")
    our_times+=("$ms")
  done
  hb=$(printf '%s\n' "${hb_times[@]}" | best)
  ours=$(printf '%s\n' "${our_times[@]}" | best)
  echo "$phase|$ours|$hb|$peak|$(size "$ourfile")|$(size "$hbfile")|$checksum" >> "$results"
done

echo "records: $N, best of $RUNS, $(nproc) cores, load average $(cut -d' ' -f1-3 /proc/loadavg)"
echo
printf '| %-11s | %8s | %10s | %6s | %8s | %11s | %11s |\n' workload "ours ms" "peer ms" ratio "peak KB" "ours bytes" "peer bytes"
printf '|-------------|----------|------------|--------|----------|-------------|-------------|\n'
while IFS='|' read -r phase ours hb peak ob hbb _; do
  ratio=-
  if [ "$hb" != "-" ] && [ "$hb" != "0" ]; then ratio=$(awk -v a="$ours" -v b="$hb" 'BEGIN{printf "%.2f", a/b}'); fi
  printf '| %-11s | %8s | %10s | %6s | %8s | %11s | %11s |\n' "$phase" "$ours" "$hb" "$ratio" "$peak" "$ob" "$hbb"
done < "$results"
echo
echo "(peer: Harbour; Xbase64 for ndx_name. ratio: ours / the peer's; below 1 is faster."
echo " peak KB: growth of our peak resident size in the work.)"
rm -f "$W"/*.dbf "$W"/*.ntx "$W"/*.ndx "$W"/*.cdx
