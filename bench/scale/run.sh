#!/usr/bin/env bash
# Figures at scale: notes files of 10,000 and 100,000 notes (5 KB each, about
# 50 and 500 MB) made in a temporary folder, then each operation in a process
# of its own (bench_scale), and the start-up with the file (exec to the
# window showing it, under Xvfb, as bench/startup/run.sh measures it).
#
#   BUILD_DIR=build SIZES="10000 100000" bench/scale/run.sh
set -euo pipefail
root=$(cd "$(dirname "$0")/../.." && pwd)
build="$root/${BUILD_DIR:-build}"
sizes=${SIZES:-10000 100000}
scale="$build/bench/scale/bench_scale"
probe="$build/bench/startup/mapprobe"

work=$(mktemp -d "${TMPDIR:-/tmp}/tessaleaf-scale-XXXXXX")
pids=()
cleanup() {
  for p in "${pids[@]}"; do kill "$p" 2>/dev/null || true; done
  for p in "${pids[@]}"; do wait "$p" 2>/dev/null || true; done
  rm -rf "$work"
}
trap cleanup EXIT

have_x=no
if command -v Xvfb >/dev/null && [ -x "$probe" ]; then
  exec 3>"$work/display"
  Xvfb -displayfd 3 -screen 0 1024x768x24 -nolisten tcp >/dev/null 2>&1 & pids+=($!)
  exec 3>&-
  for _ in $(seq 100); do [ -s "$work/display" ] && break; sleep 0.1; done
  export DISPLAY=":$(cat "$work/display")"
  have_x=yes
fi
export XDG_RUNTIME_DIR="$work/runtime" TMPDIR="$work/tmp" HOME="$work/home" XDG_CONFIG_HOME="$work/config"
mkdir -p "$XDG_RUNTIME_DIR" "$TMPDIR" "$HOME" "$XDG_CONFIG_HOME"; chmod 700 "$XDG_RUNTIME_DIR"
unset QT_QPA_PLATFORM WAYLAND_DISPLAY

for n in $sizes; do
  file=$("$scale" make "$work" "$n")
  for op in open step find close; do "$scale" "$op" "$file"; done
  if [ "$have_x" = yes ]; then
    "$probe" "$build/tessaleaf" >/dev/null  # settings written once, as a second start finds them
    echo "startup notes=$n ms=$("$probe" --title "$(basename "$file")" "$build/tessaleaf" "$file")"
  fi
  rm -f "$file"
done
