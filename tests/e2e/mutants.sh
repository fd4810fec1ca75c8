#!/usr/bin/env bash
# Damaged files handed to the real program under Xvfb: notes files on the
# command line, settings files in its settings folder, skin archives in its
# skin folder. Each start must end in the window or a message box, then
# SIGTERM must take the normal way out (status 143: no crash, no hang), and
# a notes file it cannot read (a message box says so) must be left byte for
# byte as it was.
#
#   tests/e2e/mutants.sh notes|settings|skin FOLDER [MAX]    (BUILD_DIR=build)
#
# FOLDER holds the files, for example a fuzz target's corpus after a run.
# Every wait polls with a timeout; every process started here is ended by
# its pid. Skips itself, in one line, where the X tools are missing.
set -uo pipefail

root=$(cd "$(dirname "$0")/../.." && pwd)
exe="$root/${BUILD_DIR:-build}/tessaleaf"
kind=${1:?kind}
source_dir=${2:?folder}
max=${3:-1000}
for tool in Xvfb xdotool; do
  command -v "$tool" >/dev/null || { echo "mutants: skipped ($tool is not installed)"; exit 0; }
done
[ -x "$exe" ] || { echo "mutants: FAIL $exe is not built"; exit 1; }

work=$(mktemp -d "${TMPDIR:-/tmp}/tessaleaf-mutants-XXXXXX")
export XDG_RUNTIME_DIR="$work/runtime" TMPDIR="$work/tmp" HOME="$work/home"
mkdir -p "$XDG_RUNTIME_DIR" "$TMPDIR" "$HOME"
chmod 700 "$XDG_RUNTIME_DIR"
unset QT_QPA_PLATFORM WAYLAND_DISPLAY

source "$root/tests/e2e/processes.sh"

start_display mutants 30 || exit 1

app=
# The window shows the file, or a message box stands beside it.
settled() {
  local windows
  windows=$(xdotool search --all --onlyvisible --pid "$app" 2>/dev/null | wc -l)
  [ "$windows" -ge 2 ] || xdotool search --all --onlyvisible --pid "$app" --name "$1" >/dev/null 2>&1
}

passed=0 failed=0 boxes=0 n=0
for input in "$source_dir"/*; do
  [ -f "$input" ] || continue
  n=$((n + 1)); [ $n -gt "$max" ] && break
  export XDG_CONFIG_HOME="$work/config"
  rm -rf "$XDG_CONFIG_HOME" "$work/files"; mkdir -p "$XDG_CONFIG_HOME/Tessaleaf" "$work/files/skins"
  args=() title='^Tessaleaf - '
  case $kind in
    # A notes file naming an archive in its realpath shows that name.
    notes) cp "$input" "$work/files/Diary.nts"; args=("$work/files/Diary.nts"); title='^Tessaleaf - .' ;;
    settings) cp "$input" "$XDG_CONFIG_HOME/Tessaleaf/settings.conf"; title='^Tessaleaf' ;;
    skin)
      cp "$input" "$work/files/skins/Fuzz.wsz"
      printf '"SkinDir"="%s"\n"CurrentSkin"="Fuzz.wsz"\n' "$work/files/skins" >"$XDG_CONFIG_HOME/Tessaleaf/settings.conf"
      title='^Tessaleaf' ;;
    *) echo "mutants: unknown kind $kind"; exit 2 ;;
  esac
  "$exe" "${args[@]}" >"$work/app.log" 2>&1 &
  app=$!; pids+=("$app")
  ok=yes why=
  if ! wait_for 60 settled "$title"; then ok=no why="no window or message within 60 s"; fi
  box=no
  [ "$(xdotool search --all --onlyvisible --pid "$app" 2>/dev/null | wc -l)" -ge 2 ] && box=yes && boxes=$((boxes + 1))
  kill -TERM "$app" 2>/dev/null
  wait_for 30 eval '! running $app'
  rc=0; running "$app" && { kill -KILL "$app"; ok=no why="${why:+$why; }still running 30 s after SIGTERM"; }
  wait "$app" 2>/dev/null || rc=$?
  [ "$rc" -eq 143 ] || { ok=no why="${why:+$why; }exit status $rc"; }
  if [ "$kind" = notes ] && [ $box = yes ] && ! cmp -s "$input" "$work/files/Diary.nts"; then
    # A file the program said it cannot read is left as it was.
    ok=no why="${why:+$why; }the file it could not read changed"
  fi
  if [ $ok = yes ]; then passed=$((passed + 1)); else
    failed=$((failed + 1)); echo "mutants: FAIL $(basename "$input"): $why"
    mkdir -p "$work/../tessaleaf-mutants-failed" && cp "$input" "$work/../tessaleaf-mutants-failed/"
    tail -n 5 "$work/app.log" | sed 's/^/mutants:   /'
  fi
done
echo "mutants: $kind: $passed passed, $failed failed of $((passed + failed)) files; $boxes ended in a message box"
[ "$failed" -eq 0 ]
