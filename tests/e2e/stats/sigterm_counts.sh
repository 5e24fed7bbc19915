#!/usr/bin/env bash
# The real program counts XTEST key-downs and clicks into the Stat table: those
# made between two five-second saves, and those made after the last save, which
# only the save at exit stores when the program ends by SIGTERM.
source "$(dirname "$0")/../lib.sh"
source "$(dirname "$0")/statslib.sh"
bin=$1
e2e_init
e2e_start_display 1024x768x24
e2e_start_bus
e2e_start_tray
app=$(e2e_stage_program "$bin")
db="$app/Data/eye.mdb"
[[ -f "$db" ]] || e2e_fail "the staged program has no Data/eye.mdb"
xdotool mousemove 20 20

e2e_start_program "$app"
pid=$E2E_APP_PID
wait_first_save "$db" 15 || e2e_fail "no save within 15 s: $(cat "$E2E_TMP/talvenor.log")"
read -r keys clicks _ <<<"$(stat_totals "$db")"
[[ "$keys $clicks" == "0 0" ]] || e2e_fail "counts before any input: $keys $clicks"

# Input that a regular save stores.
xdotool key --delay 40 a b c d e
xdotool click --delay 120 --repeat 3 1
wait_save "$db" 8 || e2e_fail "no regular save"
sleep 0.2
wait_save "$db" 8 || e2e_fail "no regular save"
read -r keys clicks _ <<<"$(stat_totals "$db")"
[[ "$keys $clicks" == "5 3" ]] || e2e_fail "after the regular saves: keys=$keys clicks=$clicks, expected 5 3"
echo "regular saves: keys=$keys clicks=$clicks"

# Right after a save, input that the next save would only store in five seconds.
wait_save "$db" 8 || e2e_fail "no save to start from"
xdotool key --delay 40 x y z q w e r
xdotool click --delay 120 --repeat 2 3
sleep 0.8
read -r keys clicks _ <<<"$(stat_totals "$db")"
[[ "$keys $clicks" == "5 3" ]] || e2e_fail "a save came before the signal ($keys $clicks): timing off, no proof"
kill -TERM "$pid"
e2e_wait_exit "$pid" 5
[[ "$E2E_RC" == 0 ]] || e2e_fail "SIGTERM: exit status '$E2E_RC' (expected 0 within 5 s)"
read -r keys clicks travel active _ <<<"$(stat_totals "$db")"
[[ "$keys $clicks" == "12 5" ]] || e2e_fail "after SIGTERM: keys=$keys clicks=$clicks, expected 12 5"
sqlite3 "$db" "select count(*) from Stat" | grep -qx 1 || e2e_fail "more than one row for the day"
grep -q 'ERROR: AddressSanitizer\|runtime error' "$E2E_TMP/talvenor.log" &&
  e2e_fail "sanitizer: $(cat "$E2E_TMP/talvenor.log")"
echo "exit save: keys=$keys clicks=$clicks travel=$travel active=$active"
echo "PASS"
