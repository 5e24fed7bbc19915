#!/usr/bin/env bash
# The real program starts in the tray without showing its window, and ends with
# status 0 within two seconds of SIGTERM (and of SIGINT).
source "$(dirname "$0")/../lib.sh"
bin=$1
e2e_init
e2e_start_display
e2e_start_bus
e2e_start_tray
app=$(e2e_stage_program "$bin")

# Visible windows of the process as "WIDTHxHEIGHT name" lines.
visible_windows() {
  local id
  for id in $(xdotool search --onlyvisible --pid "$1" 2>/dev/null); do
    local geo
    geo=$(xdotool getwindowgeometry "$id" 2>/dev/null | sed -n 's/.*Geometry: //p')
    echo "$geo $(xdotool getwindowname "$id" 2>/dev/null)"
  done
}

for sig in TERM INT; do
  e2e_start_program "$app"
  pid=$E2E_APP_PID
  sleep 2
  kill -0 "$pid" 2>/dev/null || e2e_fail "the program ended by itself: $(cat "$E2E_TMP/talvenor.log")"
  if visible_windows "$pid" | grep -E '^630x451|Talvenor$' | grep -q 630x451; then
    e2e_fail "the main window is visible after start: $(visible_windows "$pid")"
  fi
  kill -s "$sig" "$pid"
  e2e_wait_exit "$pid" 2
  [[ "$E2E_RC" == "0" ]] || e2e_fail "SIG$sig: expected exit status 0 within 2 s, got '$E2E_RC'"
  echo "SIG$sig: exited with 0"
done
echo "PASS"
