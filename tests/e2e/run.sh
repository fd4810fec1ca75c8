#!/usr/bin/env bash
# End-to-end stage: the real program under Xvfb with a window manager,
# checked from outside with the X tools. Skips itself, in one line, where
# those tools are missing.
set -uo pipefail

root=$(cd "$(dirname "$0")/../.." && pwd)
exe="$root/${BUILD_DIR:-build}/tessaleaf"
for tool in Xvfb openbox trayer xdotool xprop xwininfo xdpyinfo; do
  if ! command -v "$tool" >/dev/null; then
    echo "e2e: skipped ($tool is not installed)"
    exit 0
  fi
done

work=$(mktemp -d "${TMPDIR:-/tmp}/tessaleaf-e2e-XXXXXX")
export XDG_CONFIG_HOME="$work/config" XDG_RUNTIME_DIR="$work/runtime" TMPDIR="$work/tmp" HOME="$work/home"
mkdir -p "$XDG_CONFIG_HOME" "$XDG_RUNTIME_DIR" "$TMPDIR" "$HOME"
chmod 700 "$XDG_RUNTIME_DIR"
unset QT_QPA_PLATFORM WAYLAND_DISPLAY
settings="$XDG_CONFIG_HOME/Tessaleaf/settings.conf"

pids=()
cleanup() {
  for p in "${pids[@]}"; do kill "$p" 2>/dev/null; done
  wait 2>/dev/null
  rm -rf "$work"
}
trap cleanup EXIT

passed=0 failed=0
check() { # name, command...
  local name=$1; shift
  if "$@"; then passed=$((passed + 1)); echo "e2e: ok   $name"
  else failed=$((failed + 1)); echo "e2e: FAIL $name"; fi
}
# Polls a command until it succeeds or the timeout (seconds) runs out.
wait_for() {
  local timeout=$1; shift
  local end=$((SECONDS + timeout))
  until "$@" >/dev/null 2>&1; do
    [ $SECONDS -ge $end ] && return 1
    sleep 0.1
  done
}

# A free display number.
display=99
while [ -e "/tmp/.X11-unix/X$display" ] || [ -e "/tmp/.X$display-lock" ]; do display=$((display + 1)); done
export DISPLAY=":$display"
Xvfb "$DISPLAY" -screen 0 1024x768x24 -nolisten tcp >/dev/null 2>&1 & pids+=($!)
wait_for 10 xdpyinfo || { echo "e2e: FAIL Xvfb did not start"; exit 1; }
openbox >/dev/null 2>&1 & pids+=($!)
wait_for 10 sh -c 'xprop -root _NET_SUPPORTING_WM_CHECK | grep -q window' || { echo "e2e: FAIL openbox did not start"; exit 1; }

window_named() { xdotool search --onlyvisible --name "$1" | head -n1 | grep -q .; }
value_of() { grep -i "^\"$1\"=" "$settings" 2>/dev/null; }

# --- first start: window shown, settings written
"$exe" >"$work/app1.log" 2>&1 & app=$!; pids+=($app)
check "window appears on first start" wait_for 20 window_named '^Tessaleaf'
check "first start writes the appearance defaults" wait_for 10 grep -q '"ToolBarHStyle"="false"' "$settings"
win=$(xdotool search --onlyvisible --name '^Tessaleaf' | head -n1)
check "window has the minimum size" sh -c "xwininfo -id $win | grep -q 'Width: 150' && xwininfo -id $win | grep -q 'Height: 243'"
# No tray yet: the window must stay reachable, so it keeps a taskbar entry.
check "without a tray the window keeps a taskbar entry" sh -c "! xprop -id $win _NET_WM_STATE | grep -q SKIP_TASKBAR && ! xprop -id $win _NET_WM_WINDOW_TYPE | grep -q UTILITY"
xdotool windowmove "$win" 120 90
check "window moved" wait_for 5 sh -c "xwininfo -id $win | grep -Eq 'Absolute upper-left X: +1[12][0-9]'"

# --- SIGTERM takes the normal way out and writes the window state
kill -TERM "$app"
check "SIGTERM ends the program" wait_for 10 sh -c "! kill -0 $app"
check "window position written at SIGTERM" sh -c "value_x=\$(grep -i '^\"x\"=' '$settings'); [ \"\$value_x\" != '\"x\"=dword:00000000' ] && [ -n \"\$value_x\" ]"
check "OnTop written at SIGTERM" sh -c "grep -q '^\"OnTop\"=\"true\"' '$settings'"

# --- a notes file named on the command line shows in the title
notes="$work/Diary.nts"
printf '<root><info><lastupdate/><authorname/><companyname/><comments/><realpath/><compresslevel/></info><notes><note>hello</note><note>two</note></notes></root>' >"$notes"
"$exe" "$notes" >"$work/app2.log" 2>&1 & app=$!; pids+=($app)
check "command-line notes file shows in the title" wait_for 20 window_named '^Tessaleaf - Diary\.nts$'
kill -TERM "$app"
wait_for 10 sh -c "! kill -0 $app"

# --- the tray: an XEmbed tray (trayer), its icon, clicks, Esc and Exit
trayer --edge top --align right --widthtype request --height 24 --transparent false >/dev/null 2>&1 & pids+=($!)
check "a tray is running" wait_for 10 sh -c 'xprop -root | grep -q . && xdotool search --class trayer | grep -q .'
"$exe" "$notes" >"$work/app3.log" 2>&1 & app=$!; pids+=($app)
check "window appears with a tray" wait_for 20 window_named '^Tessaleaf - Diary\.nts$'
win=$(xdotool search --onlyvisible --name '^Tessaleaf - Diary' | head -n1)
check "with a tray the window stays off the taskbar" sh -c "xprop -id $win _NET_WM_STATE _NET_WM_WINDOW_TYPE | grep -Eq 'SKIP_TASKBAR|UTILITY'"

# The icon is the window trayer embeds for us.
tray_icon() {
  local t
  for t in $(xdotool search --class trayer); do
    xwininfo -children -id "$t" 2>/dev/null | awk '/^ +0x/ {print $1}'
  done | while read -r c; do
    xwininfo -id "$c" 2>/dev/null | grep -q 'Map State: IsViewable' && { echo "$c"; break; }
  done
}
check "the tray icon is there" wait_for 10 sh -c "[ -n \"\$($(declare -f tray_icon); tray_icon)\" ]"
icon=$(tray_icon)
visible() { xwininfo -id "$win" 2>/dev/null | grep -q 'Map State: IsViewable'; }
if [ -n "$icon" ]; then
  xdotool mousemove --window "$icon" 4 4 click 1
  check "a click on the tray icon hides the window" wait_for 5 sh -c "! xwininfo -id $win | grep -q IsViewable"
  xdotool mousemove --window "$icon" 4 4 click 1
  win_shown() { xdotool search --onlyvisible --name '^Tessaleaf - Diary' | grep -q .; }
  check "a second click shows it again" wait_for 5 win_shown
  win=$(xdotool search --onlyvisible --name '^Tessaleaf - Diary' | head -n1)
  xdotool windowactivate --sync "$win" 2>/dev/null
  xdotool key --window "$win" Escape
  check "Esc hides the window" wait_for 5 sh -c "! xdotool search --onlyvisible --name '^Tessaleaf - Diary' | grep -q ."
  shown_windows() { xdotool search --onlyvisible --pid "$app" 2>/dev/null | wc -l; }
  before=$(shown_windows)
  xdotool mousemove --window "$icon" 4 4 click 3
  menu_open() { [ "$(shown_windows)" -gt "$before" ]; }
  check "a right click opens the tray menu" wait_for 5 menu_open
  sed -i '/^"[xywh]"=/d' "$settings"  # Exit must write them again
  # Exit is the last item: Up from the top wraps to it.
  xdotool key Up Return
  check "Exit from the tray menu ends the program" wait_for 10 sh -c "! kill -0 $app"
  check "Exit writes the window state" sh -c "grep -q '^\"x\"=' '$settings' && grep -q '^\"h\"=' '$settings' && grep -q '^\"OnTop\"=' '$settings'"
else
  failed=$((failed + 1)); echo "e2e: FAIL no tray icon to click"
fi

echo "e2e: $passed passed, $failed failed"
[ "$failed" -eq 0 ]
