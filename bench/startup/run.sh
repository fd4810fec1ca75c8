#!/usr/bin/env bash
# Start-up benchmark: exec to the first mapped window under Xvfb (with an
# XEmbed tray), median of RUNS starts, for Tessaleaf and for a bare Qt window
# built beside it, measured in the same run.
#
#   BUILD_DIR=build RUNS=5 bench/startup/run.sh
set -euo pipefail
root=$(cd "$(dirname "$0")/../.." && pwd)
build="$root/${BUILD_DIR:-build}"
runs=${RUNS:-5}
probe="$build/bench/startup/mapprobe"
for tool in Xvfb trayer; do
  command -v "$tool" >/dev/null || { echo "startup: $tool is not installed"; exit 1; }
done

work=$(mktemp -d "${TMPDIR:-/tmp}/tessaleaf-startup-XXXXXX")
pids=()
cleanup() {
  for p in "${pids[@]}"; do kill "$p" 2>/dev/null || true; done
  for p in "${pids[@]}"; do wait "$p" 2>/dev/null || true; done
  rm -rf "$work"
}
trap cleanup EXIT

exec 3>"$work/display"
Xvfb -displayfd 3 -screen 0 1024x768x24 -nolisten tcp >/dev/null 2>&1 & pids+=($!)
exec 3>&-
for _ in $(seq 100); do [ -s "$work/display" ] && break; sleep 0.1; done
export DISPLAY=":$(cat "$work/display")"
trayer --edge top --align right --widthtype request --height 24 >/dev/null 2>&1 & pids+=($!)
for _ in $(seq 100); do xprop -root _NET_SUPPORTED >/dev/null 2>&1; xdotool search --class trayer >/dev/null 2>&1 && break; sleep 0.1; done

export XDG_RUNTIME_DIR="$work/runtime" TMPDIR="$work/tmp" HOME="$work/home"
mkdir -p "$XDG_RUNTIME_DIR" "$TMPDIR" "$HOME"; chmod 700 "$XDG_RUNTIME_DIR"
unset QT_QPA_PLATFORM WAYLAND_DISPLAY

median() { sort -n | awk '{a[NR]=$1} END {print a[int((NR+1)/2)]}'; }
# measure NAME CONFIG-MODE PROBE-ARGS...: CONFIG-MODE "fresh" starts each run
# with no settings, "kept" with the settings the runs before wrote.
measure() {
  local mode=$1; shift
  local i
  for i in $(seq "$runs"); do
    if [ "$mode" = fresh ]; then export XDG_CONFIG_HOME="$work/config-fresh-$i"; else export XDG_CONFIG_HOME="$work/config-kept"; fi
    "$probe" "$@"
  done | median
}

notes=$("$build/bench/startup/makenotes" "$work")
XDG_CONFIG_HOME="$work/config-kept" "$probe" "$build/tessaleaf" >/dev/null  # writes the settings

bare=$(measure kept "$build/bench/startup/barewindow")
second=$(measure kept "$build/tessaleaf")
first=$(measure fresh "$build/tessaleaf")
big=$(measure kept --title "$(basename "$notes")" "$build/tessaleaf" "$notes")

ratio() { awk -v a="$1" -v b="$2" 'BEGIN {printf "%.2f", a / b}'; }
echo "startup: bare Qt window            $bare ms"
echo "startup: Tessaleaf, second start   $second ms  ($(ratio "$second" "$bare")x bare)"
echo "startup: Tessaleaf, first start    $first ms  ($(ratio "$first" "$second")x second start)"
echo "startup: with the 50 MB notes file $big ms to its title  (+$(awk -v a="$big" -v b="$second" 'BEGIN {printf "%.0f", a - b}') ms)"
