#!/usr/bin/env bash
# Kill -9 during note steps: the real program under Xvfb steps through a
# notes file of 2,000 notes, typing into each note on its way (every step
# stores the note shown), and is killed with SIGKILL at a random moment.
# After each kill the file must parse and hold all its notes, each either as
# it was or with the words typed into it.
#
#   tests/e2e/kill9.sh [TRIALS]     (default 30; BUILD_DIR=build)
#
# Every wait polls with a timeout; every process started here is ended by
# its pid. Skips itself, in one line, where the X tools are missing.
set -uo pipefail

root=$(cd "$(dirname "$0")/../.." && pwd)
exe="$root/${BUILD_DIR:-build}/tessaleaf"
trials=${1:-30}
notes=2000
for tool in Xvfb openbox xdotool python3; do
  command -v "$tool" >/dev/null || { echo "kill9: skipped ($tool is not installed)"; exit 0; }
done
[ -x "$exe" ] || { echo "kill9: FAIL $exe is not built"; exit 1; }

START_TIMEOUT=60
work=$(mktemp -d "${TMPDIR:-/tmp}/tessaleaf-kill9-XXXXXX")
export XDG_RUNTIME_DIR="$work/runtime" TMPDIR="$work/tmp" HOME="$work/home" XDG_CONFIG_HOME="$work/config"
mkdir -p "$XDG_RUNTIME_DIR" "$TMPDIR" "$HOME" "$XDG_CONFIG_HOME"
chmod 700 "$XDG_RUNTIME_DIR"
unset QT_QPA_PLATFORM WAYLAND_DISPLAY

source "$root/tests/e2e/processes.sh"

file="$work/Diary.nts"
check_py="$work/check.py"
cat >"$check_py" <<'PY'
#!/usr/bin/env python3
# make FILE N: a notes file of N plain-text notes "note <i> ..." of about 1 KB.
# check FILE N WORD: true when FILE parses and holds N notes, note i still
# naming itself (as typed into: its own words plus "zq" words); prints how
# many notes hold WORD, the word of the trial.
import re, sys
import xml.etree.ElementTree as ET
path, n = sys.argv[2], int(sys.argv[3])
if sys.argv[1] == 'make':
    with open(path, 'w') as f:
        f.write('<root><info><lastupdate/><authorname/><companyname/><comments/><realpath/><compresslevel>0</compresslevel></info><notes>')
        for i in range(1, n + 1):
            f.write('<note>note %d %s</note>' % (i, ('filler%d ' % i) * 100))
        f.write('</notes></root>')
    sys.exit(0)
try:
    found = ET.parse(path).getroot().find('notes').findall('note')
except Exception as e:
    print('does not parse: %s' % e)
    sys.exit(1)
if len(found) != n:
    print('holds %d notes, not %d' % (len(found), n))
    sys.exit(1)
edited = 0
for i, note in enumerate(found, 1):
    text = note.text or ''
    if not re.search(r'note %d\b' % i, text) or ('filler%d ' % i) not in text:
        print('note %d lost its text' % i)
        sys.exit(1)
    edited += re.search(r'\b%s\b' % sys.argv[4], text) is not None
print('%d notes, %d hold this trial\'s word' % (n, edited))
PY
python3 "$check_py" make "$file" "$notes"

start_display kill9 30 || exit 1
start_window_manager kill9 30 || exit 1

app= win=
main_window() { win=$(xdotool search --all --onlyvisible --pid "$app" --name '^Tessaleaf - Diary\.nts$' 2>/dev/null | head -n1); [ -n "$win" ]; }
has_focus() { [ "$(xdotool getwindowfocus 2>/dev/null)" = "$win" ]; }

passed=0 failed=0 killed_in_step=0
for ((t = 1; t <= trials; t++)); do
  "$exe" "$file" >"$work/app.log" 2>&1 &
  app=$!; pids+=("$app")
  if ! wait_for "$START_TIMEOUT" main_window; then
    echo "kill9: FAIL trial $t: the window did not appear"; failed=$((failed + 1)); stop "$app"; continue
  fi
  eval "$(xdotool getwindowgeometry --shell "$win")"
  # The editor's middle (built-in skin: Panel2 at 36,42, W-55 by H-57), then
  # Next at 60,30 (see tests/e2e/run.sh).
  xdotool mousemove --window "$win" $((36 + (WIDTH - 55) / 2)) $((42 + (HEIGHT - 57) / 2)) click 1
  wait_for 10 has_focus
  # Type and step for a random 1 to 4 seconds, then kill mid-way.
  deadline=$(( $(date +%s%N) / 1000000 + 1000 + RANDOM % 3000 ))
  steps=0
  while [ $(( $(date +%s%N) / 1000000 )) -lt $deadline ] && running "$app"; do
    xdotool type --delay 5 " zq$t"
    xdotool mousemove --window "$win" 60 30 click 1
    steps=$((steps + 1))
    # Half the kills land right after a click, while the step writes.
    [ $((RANDOM % 4)) -eq 0 ] && [ $(( $(date +%s%N) / 1000000 )) -ge $((deadline - 500)) ] && break
  done
  running "$app" && killed_in_step=$((killed_in_step + 1))
  kill -KILL "$app" 2>/dev/null
  wait "$app" 2>/dev/null
  if result=$(python3 "$check_py" check "$file" "$notes" "zq$t"); then
    passed=$((passed + 1))
    echo "kill9: ok   trial $t after $steps steps: $result"
  else
    failed=$((failed + 1))
    echo "kill9: FAIL trial $t after $steps steps: $result"
  fi
done
left=$(find "$work" -maxdepth 1 -name '.Diary.nts.*' | wc -l)
echo "kill9: $passed passed, $failed failed of $trials trials ($killed_in_step killed while running); $left temporary files left beside the notes file"
[ "$failed" -eq 0 ]
