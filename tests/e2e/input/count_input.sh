#!/usr/bin/env bash
# The real hook libraries and components count exactly the key-downs, clicks
# and pointer travel that XTEST makes, a held key's repeats included, and stop
# and start again without losing the last position.
source "$(dirname "$0")/../lib.sh"
source "$(dirname "$0")/probe.sh"
bin=$1
probe=$2
xtest=$3
e2e_init
e2e_start_display 1024x768x24
app=$(e2e_stage_program "$bin")
cp "$probe" "$app/"

probe_start "$app"
line=$(probe_wait_line '^start ')
[[ "$line" == "start key=1 mouse=1" ]] || e2e_fail "both hooks should start: $line"

# Pointer travel: the first event measures from (0, 0).
xdotool mousemove 300 400
probe_expect distance 500.000 "first event from (0, 0)"
xdotool mousemove_relative 100 0
xdotool mousemove_relative -- 0 -100
xdotool mousemove_relative -- -30 40
probe_expect distance 750.000 "relative moves"
probe_expect x 370 "last x"
probe_expect y 340 "last y"

# Clicks: presses of the three buttons and both presses of a double click
# count; wheel steps and further buttons do not; no button adds travel.
xdotool click 1
xdotool click 3
xdotool click 2
xdotool click --repeat 2 --delay 80 1
xdotool click 4 click 5 click 6 click 7 click 8 click 9
probe_expect clicks 5 "button presses"
probe_expect distance 750.000 "presses in place add no travel"

# Key-downs count, key-ups do not.
xdotool key a
probe_expect name A "name of a letter"
probe_expect char 97 "character of a letter"
xdotool key F1
probe_expect name F1 "name of a function key"
probe_expect char 0 "a function key makes no character"
xdotool key Return
probe_expect name Enter "name of Return"
xdotool key space
probe_expect name Space "name of the space bar"
probe_expect char 32 "character of the space bar"
xdotool key shift+b ctrl+c
probe_expect keys 8 "key-downs"
probe_expect keyups 8 "every key went up once"

# A held key counts its first press and every auto-repeat, exactly as many
# presses as a focused window of ours received.
"$xtest" repeat 200 25 || e2e_fail "cannot set the auto-repeat"
held=$("$xtest" hold a 1000)
presses=$(field presses "$held")
((presses > 5)) || e2e_fail "the server made no auto-repeats: $held"
probe_expect keys $((8 + presses)) "held key with its repeats ($held)"
probe_expect keyups 9 "a held key goes up once"
probe_expect maxrepeat $((presses - 1)) "repeat counter of the held key"

# Stopped hooks count nothing; after a new start the first move measures from
# the last position seen before the stop.
before=$(probe_report)
probe_send stop
line=$(probe_wait_line '^stop ')
[[ "$line" == "stop key=1 mouse=1" ]] || e2e_fail "both hooks should stop: $line"
xdotool key a
xdotool click 1
xdotool mousemove 600 500
sleep 0.5
after=$(probe_report)
for f in keys clicks distance; do
  [[ "$(field $f "$before")" == "$(field $f "$after")" ]] || e2e_fail "counted while stopped: $after"
done
echo "ok: nothing counted while stopped"
probe_send start
sleep 0.3
grep '^start ' "$PROBE_OUT" | tail -n1 | grep -qx 'start key=1 mouse=1' || e2e_fail "restart failed"
xdotool mousemove_relative 3 4
# From (370, 340) to (603, 504).
want=$(awk 'BEGIN { printf "%.3f", 750 + sqrt(233 * 233 + 164 * 164) }')
probe_expect distance "$want" "first move after a restart"

probe_send quit
line=$(probe_wait_line '^final ' 10) || e2e_fail "the probe did not end"
e2e_wait_exit "$PROBE_PID" 5
[[ "$E2E_RC" == 0 ]] || e2e_fail "the probe ended with $E2E_RC: $(cat "$E2E_TMP/probe.err")"
grep -q 'ERROR: AddressSanitizer\|runtime error' "$E2E_TMP/probe.err" && e2e_fail "sanitizer: $(cat "$E2E_TMP/probe.err")"
echo "PASS"
