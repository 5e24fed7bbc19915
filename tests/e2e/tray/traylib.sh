# Helpers for the tray tests, on top of lib.sh.

# The window id of a program's icon docked in trayer's panel, or nothing.
# $1: the program's window class (default: talvenor).
tray_icon_window() {
  local class=${1:-talvenor} panel
  panel=$(xdotool search --name '^panel$' 2>/dev/null | head -n1) || true
  [[ -n "$panel" ]] || return 0
  xwininfo -tree -id "$panel" 2>/dev/null |
    sed -n "s/^ *\\(0x[0-9a-f]*\\) \"[^\"]*\": (\"$class\" .*/\\1/p" | head -n1
}

# Waits up to $1 seconds for the icon of class $2 to dock; prints its id.
tray_wait_icon() {
  local limit=${1:-5} class=${2:-talvenor} i id
  for i in $(seq $((limit * 20))); do
    id=$(tray_icon_window "$class")
    if [[ -n "$id" ]]; then
      echo "$id"
      return 0
    fi
    sleep 0.05
  done
  return 1
}

# Centre of a window in root coordinates: "X Y".
window_centre() {
  local info x y w h
  info=$(xwininfo -id "$1")
  x=$(echo "$info" | sed -n 's/.*Absolute upper-left X: *//p')
  y=$(echo "$info" | sed -n 's/.*Absolute upper-left Y: *//p')
  w=$(echo "$info" | sed -n 's/.*Width: *//p')
  h=$(echo "$info" | sed -n 's/.*Height: *//p')
  echo "$((x + w / 2)) $((y + h / 2))"
}

# Visible top-level windows of a process as "WIDTHxHEIGHT name" lines.
visible_windows() {
  local id
  for id in $(xdotool search --onlyvisible --pid "$1" 2>/dev/null); do
    local geo
    geo=$(xdotool getwindowgeometry "$id" 2>/dev/null | sed -n 's/.*Geometry: //p')
    echo "$geo $(xdotool getwindowname "$id" 2>/dev/null)"
  done
}

# Starts a helper (with the arguments after the first) with a fifo as its
# standard input and its output in a file; sets PROBE_PID, PROBE_IN (write commands there) and PROBE_OUT.
probe_start() {
  local exe=$1
  shift
  PROBE_IN="$E2E_TMP/probe.in"
  PROBE_OUT="$E2E_TMP/probe.out"
  rm -f "$PROBE_IN"
  mkfifo "$PROBE_IN"
  "$exe" "$@" <"$PROBE_IN" >"$PROBE_OUT" 2>"$E2E_TMP/probe.err" &
  PROBE_PID=$!
  E2E_PIDS+=($PROBE_PID)
  exec 7>"$PROBE_IN"  # keeps the fifo open between commands
  wait_line "$PROBE_OUT" '^ready$' 10 || e2e_fail "the probe did not start: $(cat "$E2E_TMP/probe.err")"
}

probe_say() { echo "$1" >&7; }

# Waits up to $3 seconds for a line matching $2 in file $1.
wait_line() {
  local file=$1 pattern=$2 limit=${3:-5} i
  for i in $(seq $((limit * 20))); do
    grep -qE "$pattern" "$file" 2>/dev/null && return 0
    sleep 0.05
  done
  return 1
}

# How many lines of file $1 match $2.
count_lines() { grep -cE "$2" "$1" 2>/dev/null || true; }

# Waits up to $2 seconds for a visible window named exactly $1; prints its id.
wait_named_window() {
  local name=$1 limit=${2:-5} i id
  for i in $(seq $((limit * 20))); do
    id=$(xdotool search --onlyvisible --name "^${name}\$" 2>/dev/null | head -n1) || true
    if [[ -n "$id" ]]; then
      echo "$id"
      return 0
    fi
    sleep 0.05
  done
  return 1
}
