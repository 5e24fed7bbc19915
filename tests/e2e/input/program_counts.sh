#!/usr/bin/env bash
# The whole program, with the statistics on as the delivered settings have them,
# stores exactly the key-downs (auto-repeats included), clicks and pointer travel
# that XTEST made; with one hook library removed it runs on and stores nothing
# of that kind.
source "$(dirname "$0")/../lib.sh"
source "$(dirname "$0")/probe.sh"
bin=$1
xtest=$3
e2e_init
e2e_start_display 1024x768x24
e2e_start_bus
e2e_start_tray
"$xtest" repeat 200 25 || e2e_fail "cannot set the auto-repeat"

# "keys clicks travel" over all rows (a staged program starts with none).
totals() {
  sqlite3 -cmd ".timeout 3000" "$1" \
    "select coalesce(sum(Ckey),0)||' '||coalesce(sum(CMouse),0)||' '||
            printf('%.3f', coalesce(sum(MoveMouse),0)) from Stat"
}

# Waits up to 20 s for the totals to read $2, then checks that a further save
# leaves them so.
expect_totals() {
  local db=$1 want=$2 what=$3 got i
  for i in $(seq 200); do
    got=$(totals "$db" 2>/dev/null || true)
    [[ "$got" == "$want" ]] && break
    sleep 0.1
  done
  [[ "$got" == "$want" ]] || e2e_fail "$what: stored '$got', expected '$want'"
  sleep 6
  got=$(totals "$db")
  [[ "$got" == "$want" ]] || e2e_fail "$what: later save changed '$want' to '$got'"
  echo "ok: $what ($want)"
}

# Starts a staged copy without the named library ("" for none) and makes the
# same input each time; sets DB and HELD (the presses of the held key).
run_program() {
  local missing=$1 app i
  app=$(e2e_stage_program "$bin")
  [[ -n "$missing" ]] && rm -f "$app/$missing"
  DB="$app/Data/eye.mdb"
  [[ -f "$DB" ]] || e2e_fail "the staged program has no Data/eye.mdb"
  xdotool mousemove 0 0
  e2e_start_program "$app"
  PID=$E2E_APP_PID
  for i in $(seq 150); do
    [[ "$(sqlite3 -cmd ".timeout 3000" "$DB" "select count(*) from Stat" 2>/dev/null)" -gt 0 ]] && break
    sleep 0.1
  done
  [[ "$(totals "$DB")" == "0 0 0.000" ]] || e2e_fail "no first save, or counts before any input: $(totals "$DB") $(cat "$E2E_TMP/talvenor.log")"
  # Travel: 500 from (0, 0), then 100 and 50; clicks: four presses (a double
  # click is two), wheel steps none; keys: three, then a held key.
  xdotool mousemove 300 400
  xdotool mousemove_relative 100 0
  xdotool mousemove_relative -- -30 40
  xdotool click 1 click 3
  xdotool click --repeat 2 --delay 80 1
  xdotool click 4 click 5
  xdotool key a b c
  HELD=$(field presses "$("$xtest" hold b 800)")
  ((HELD > 3)) || e2e_fail "the server made no auto-repeats"
}

stop_program() {
  kill -0 "$PID" 2>/dev/null || e2e_fail "the program ended by itself: $(cat "$E2E_TMP/talvenor.log")"
  kill -TERM "$PID"
  e2e_wait_exit "$PID" 5
  [[ "$E2E_RC" == 0 ]] || e2e_fail "exit status '$E2E_RC': $(cat "$E2E_TMP/talvenor.log")"
}

run_program ""
expect_totals "$DB" "$((3 + HELD)) 4 650.000" "all input counted"
stop_program

run_program libmousehook.so
expect_totals "$DB" "$((3 + HELD)) 0 0.000" "without the mouse library"
stop_program

run_program libkeyboardhook.so
expect_totals "$DB" "0 4 650.000" "without the keyboard library"
stop_program
echo "PASS"
