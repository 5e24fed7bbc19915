#!/usr/bin/env bash
# A tray host that appears after the start, or comes back after it went away,
# gets the icon: the program's icon docks, and the component hears the
# "taskbar created" broadcast and adds its icon again.
source "$(dirname "$0")/../lib.sh"
source "$(dirname "$0")/traylib.sh"
bin=$1
probe=$2
e2e_init
e2e_start_display
e2e_start_bus

tray_pid() { echo "${E2E_PIDS[-1]}"; }

# The component, through the probe: one add at the start, one more per host.
probe_start "$probe"
adds=$(count_lines "$PROBE_OUT" '^shell ADD ok$')
[[ "$adds" == 1 ]] || e2e_fail "expected one add at the start, got $adds"
e2e_start_tray
tray_wait_icon 5 tray_probe >/dev/null || e2e_fail "the icon did not dock in a tray host started later"
wait_line "$PROBE_OUT" '^shell ADD ok$' 1
for i in $(seq 60); do
  [[ $(count_lines "$PROBE_OUT" '^shell ADD ok$') -ge 2 ]] && break
  sleep 0.05
done
[[ $(count_lines "$PROBE_OUT" '^shell ADD ok$') == 2 ]] ||
  e2e_fail "the broadcast did not add the icon again: $(cat "$PROBE_OUT")"
# The host goes away and comes back.
first=$(tray_pid)
kill "$first"
wait "$first" 2>/dev/null || true
sleep 0.5
e2e_start_tray
tray_wait_icon 5 tray_probe >/dev/null || e2e_fail "the icon did not dock again in the restarted host"
for i in $(seq 60); do
  [[ $(count_lines "$PROBE_OUT" '^shell ADD ok$') -ge 3 ]] && break
  sleep 0.05
done
[[ $(count_lines "$PROBE_OUT" '^shell ADD ok$') == 3 ]] ||
  e2e_fail "no add after the host came back: $(cat "$PROBE_OUT")"
# Still one icon of ours in the panel, and it still answers the mouse.
icon=$(tray_wait_icon 2 tray_probe)
sleep 0.5
n=$(xwininfo -tree -id "$(xdotool search --name '^panel$' | head -n1)" | grep -c '("tray_probe"' || true)
[[ "$n" == 1 ]] || e2e_fail "expected one docked icon after the host came back, found $n"

read -r x y < <(window_centre "$icon")
xdotool mousemove "$x" "$y" click 3
wait_line "$PROBE_OUT" '^down 1$' 3 || e2e_fail "a right click on the re-docked icon was not reported"
probe_say quit
e2e_wait_exit "$PROBE_PID" 5
[[ "$E2E_RC" == 0 ]] || e2e_fail "the probe ended with '$E2E_RC'"
kill "$(tray_pid)"
echo "broadcast: ok"

# The program itself, started with no tray host: its icon docks when one comes.
app=$(e2e_stage_program "$bin")
e2e_start_program "$app"
sleep 1
kill -0 "$E2E_APP_PID" 2>/dev/null || e2e_fail "the program ended: $(cat "$E2E_TMP/talvenor.log")"
e2e_start_tray
tray_wait_icon 5 >/dev/null || e2e_fail "the program's icon did not dock in a tray host started later"
kill -TERM "$E2E_APP_PID"
e2e_wait_exit "$E2E_APP_PID" 5
[[ "$E2E_RC" == 0 ]] || e2e_fail "the program ended with '$E2E_RC'"
echo PASS
