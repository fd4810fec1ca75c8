# Sourced by the Xvfb scripts here. Every process a script starts goes into
# pids and is ended by its pid when the script ends; $work is removed then.

pids=()
running() { # pid: a child of this script, alive and not yet a zombie
  local stat
  stat=$(cat "/proc/$1/stat" 2>/dev/null) || return 1
  read -r -a stat <<<"${stat##*) }"  # state, parent, ...
  [ "${stat[0]}" != Z ] && [ "${stat[1]}" = $$ ]
}
# Ends a process: TERM, then KILL when it outlives the grace (seconds).
# Returns its exit status.
stop() { # pid [grace]
  local end=$((SECONDS + ${2:-10}))
  kill -TERM "$1" 2>/dev/null
  while running "$1" && [ $SECONDS -lt $end ]; do sleep 0.1; done
  running "$1" && kill -KILL "$1" 2>/dev/null
  wait "$1" 2>/dev/null
}
cleanup() {
  local i
  for ((i = ${#pids[@]} - 1; i >= 0; i--)); do stop "${pids[i]}" 5; done
  rm -rf "$work"
}
trap cleanup EXIT
trap 'exit 130' INT TERM HUP
wait_for() { # timeout, command...
  local end=$((SECONDS + $1)); shift
  until "$@" >/dev/null 2>&1; do
    [ $SECONDS -ge $end ] && return 1
    sleep 0.1
  done
}

# A display of its own: Xvfb on a free number, DISPLAY exported. -noreset:
# by default the server resets when its last client leaves, and a client
# that connects during the reset fails (openbox right after the first poll
# of the root window, for one).
start_display() { # script name, timeout
  Xvfb -displayfd 3 -screen 0 1024x768x24 -nolisten tcp -noreset 3>"$work/display" >"$work/xvfb.log" 2>&1 &
  pids+=($!)
  wait_for "$2" grep -qx '[0-9]\+' "$work/display" || { echo "$1: FAIL Xvfb did not start"; cat "$work/xvfb.log"; return 1; }
  export DISPLAY=":$(cat "$work/display")"
}
# The manager's check window names itself: it is there and working.
wm_ready() {
  local id
  id=$(xprop -root _NET_SUPPORTING_WM_CHECK 2>/dev/null | awk '/window id/ {print $NF}')
  [ -n "$id" ] && xprop -id "$id" _NET_SUPPORTING_WM_CHECK 2>/dev/null | grep -q "$id\$"
}
start_window_manager() { # script name, timeout
  openbox >"$work/openbox.log" 2>&1 &
  pids+=($!)
  wait_for "$2" wm_ready || { echo "$1: FAIL openbox did not start"; cat "$work/openbox.log"; return 1; }
}
