#!/usr/bin/env bash
# With a hook library file removed, Start of that component returns false, the
# program runs on and counts nothing of that kind while the other kind counts.
source "$(dirname "$0")/../lib.sh"
source "$(dirname "$0")/probe.sh"
bin=$1
probe=$2
e2e_init
e2e_start_display 1024x768x24

run_without() {
  local lib=$1 expect=$2
  local app
  app=$(e2e_stage_program "$bin")
  cp "$probe" "$app/"
  rm -f "$app/$lib"
  probe_start "$app"
  local line
  line=$(probe_wait_line '^start ')
  [[ "$line" == "$expect" ]] || e2e_fail "without $lib: expected '$expect', got '$line'"
  xdotool mousemove 300 400
  xdotool click 1
  xdotool key a b
  sleep 0.5
  line=$(probe_report)
  if [[ "$lib" == libmousehook.so ]]; then
    probe_expect keys 2 "keys without the mouse library"
    [[ "$(field clicks "$line")" == 0 && "$(field mouseevents "$line")" == 0 &&
       "$(field distance "$line")" == 0.000 ]] || e2e_fail "mouse counted without its library: $line"
  else
    probe_expect clicks 1 "clicks without the keyboard library"
    probe_expect distance 500.000 "travel without the keyboard library"
    [[ "$(field keys "$line")" == 0 && "$(field keyevents "$line")" == 0 ]] ||
      e2e_fail "keys counted without their library: $line"
  fi
  # A second Start tries the missing library again and fails quietly; the
  # running hook refuses a second start.
  probe_send start
  sleep 0.3
  grep '^start ' "$PROBE_OUT" | tail -n1 | grep -qx "start key=0 mouse=0" ||
    e2e_fail "second start: $(tail -n1 "$PROBE_OUT")"
  probe_send quit
  probe_wait_line '^final ' 10 >/dev/null || e2e_fail "the probe did not end"
  e2e_wait_exit "$PROBE_PID" 5
  [[ "$E2E_RC" == 0 ]] || e2e_fail "the probe ended with $E2E_RC: $(cat "$E2E_TMP/probe.err")"
  rm -rf "$app"
  echo "ok: without $lib"
}

run_without libmousehook.so "start key=1 mouse=0"
run_without libkeyboardhook.so "start key=0 mouse=1"

# The program itself, with both libraries gone, starts, stays up and ends
# normally.
if [[ -x "$bin/talvenor" ]]; then
  e2e_start_bus
  e2e_start_tray
  app=$(e2e_stage_program "$bin")
  rm -f "$app/libmousehook.so" "$app/libkeyboardhook.so"
  e2e_start_program "$app"
  pid=$E2E_APP_PID
  sleep 2
  xdotool mousemove 10 10 click 1 key a
  sleep 0.5
  kill -0 "$pid" 2>/dev/null || e2e_fail "the program ended without its libraries: $(cat "$E2E_TMP/talvenor.log")"
  kill -TERM "$pid"
  e2e_wait_exit "$pid" 5
  [[ "$E2E_RC" == 0 ]] || e2e_fail "the program ended with '$E2E_RC': $(cat "$E2E_TMP/talvenor.log")"
  echo "ok: the program runs without the libraries"
else
  e2e_fail "no program in $bin"
fi
echo "PASS"
