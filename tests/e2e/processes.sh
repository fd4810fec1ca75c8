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
