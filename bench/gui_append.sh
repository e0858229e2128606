#!/usr/bin/env bash
# gui_append.sh [LINES] -- how the desktop program's result view keeps up with
# a search that finds LINES records (default 200000): times `qf --raw` over a
# generated Shift-JIS corpus with its output going to a file, then runs the
# same search into the result view (bench/gui_append) and prints the time
# until the view holds every line, the worst event-loop latency meanwhile
# and the peak resident memory. Targets: the view complete within twice the
# qf time, latency under 100 ms.
#
# Environment:
#   BUILD=DIR   build folder configured with -DQF_BUILD_BENCH=ON
#               (default build-bench; configured and built when missing)
#   RUNS=N      runs whose median is taken (default 3)
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
lines=${1:-200000}
build=${BUILD:-$root/build-bench}
runs=${RUNS:-3}

if [ ! -f "$build/build.ninja" ]; then
  cmake -S "$root" -B "$build" -G Ninja -DQF_BUILD_BENCH=ON -DQF_BUILD_TESTS=OFF >/dev/null
fi
ninja -C "$build" -j2 qf gui_append >/dev/null

work=$(mktemp -d /tmp/qf-gui-append.XXXXXX)
trap 'rm -rf "$work"' EXIT
# 100 files, each line one hit, CR LF line ends, Shift-JIS.
python3 - "$work/corpus" "$lines" <<'PY'
import os, sys
folder, total = sys.argv[1], int(sys.argv[2])
files = 100
for f in range(files):
    sub = os.path.join(folder, "part%02d" % (f % 10))
    os.makedirs(sub, exist_ok=True)
    count = total // files + (1 if f < total % files else 0)
    rows = ("第%d章 %d行目: 東京都の記録、全文検索の試験データです。\tkey=%05d value=%d\r\n"
            % (f, n, n, n * 7) for n in range(count))
    with open(os.path.join(sub, "text%03d.txt" % f), "wb") as out:
        out.write("".join(rows).encode("cp932"))
PY

median() { sort -n | awk '{ v[NR] = $1 } END { print v[int((NR + 1) / 2)] }'; }
# "wall_ms cpu_ms" of one qf run.
qf_ms() {
  local TIMEFORMAT='%3R %3U %3S' times
  times=$({ time "$build/qf" --raw --no-config --quiet -r 東京 "$work/corpus" >"$work/raw" || true; } 2>&1)
  awk '{ printf "%d %d\n", $1 * 1000, ($2 + $3) * 1000 }' <<<"$times"
}

export QT_QPA_PLATFORM=${QT_QPA_PLATFORM:-offscreen}
qf_times=() qf_cpus=() search_times=() cpu_times=() view_times=() latencies=() peaks=()
for _ in $(seq "$runs"); do
  read -r wall cpu < <(qf_ms)
  qf_times+=("$wall") qf_cpus+=("$cpu")
  "$build/bench/gui_append" "$work/corpus" 東京 >"$work/view" 2>/dev/null
  search_times+=("$(awk '/search ends/ { print $3 }' "$work/view")")
  cpu_times+=("$(awk '/process CPU/ { print $3 }' "$work/view")")
  view_times+=("$(awk '/view complete/ { print $3 }' "$work/view")")
  latencies+=("$(awk '/worst latency/ { print $3 }' "$work/view")")
  peaks+=("$(awk '/peak RSS/ { print $3 }' "$work/view")")
done
qf=$(printf '%s\n' "${qf_times[@]}" | median)
qf_cpu=$(printf '%s\n' "${qf_cpus[@]}" | median)
search=$(printf '%s\n' "${search_times[@]}" | median)
cpu=$(printf '%s\n' "${cpu_times[@]}" | median)
view=$(printf '%s\n' "${view_times[@]}" | median)
latency=$(printf '%s\n' "${latencies[@]}" | sort -n | tail -1)
peak=$(printf '%s\n' "${peaks[@]}" | sort -n | tail -1)
raw_lines=$(tr -cd '\n' <"$work/raw" | wc -c)
view_lines=$(awk '/^lines/ { print $2 }' "$work/view")

printf 'result lines     qf %s, view %s\n' "$raw_lines" "$view_lines"
printf 'qf --raw         %s ms (median of %s), CPU %s ms\n' "$qf" "$runs" "$qf_cpu"
printf 'search in view   %s ms (median; the same run feeding the view)\n' "$search"
printf 'view complete    %s ms (median), %s x qf (target <= 2)\n' "$view" \
  "$(awk -v v="$view" -v q="$qf" 'BEGIN { printf "%.2f", v / (q > 0 ? q : 1) }')"
printf 'view process CPU %s ms (median; search and view together)\n' "$cpu"
printf 'worst latency    %s ms (worst run; target < 100)\n' "$latency"
printf 'peak RSS         %s MiB (worst run)\n' "$((peak / 1024))"
