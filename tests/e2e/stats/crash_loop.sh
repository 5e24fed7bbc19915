#!/usr/bin/env bash
# Kills the real program with SIGKILL at random moments while XTEST input runs,
# again and again: the database passes its integrity check every time, and the
# day's totals never go backwards.
source "$(dirname "$0")/../lib.sh"
source "$(dirname "$0")/statslib.sh"
bin=$1
rounds=${2:-100}
e2e_init
e2e_start_display 1024x768x24
e2e_start_bus
app=$(e2e_stage_program "$bin")
db="$app/Data/eye.mdb"

# Input all along: keys, clicks and pointer moves.
(
  while true; do
    xdotool key --delay 15 a s d f 2>/dev/null
    xdotool mousemove_relative 7 5 click 1 mousemove_relative -- -7 -5 2>/dev/null
  done
) &
E2E_PIDS+=($!)

prev="0 0 0.000 0 0"
saves=0
starts_lost=0
round=0
while ((round < rounds)); do
  round=$((round + 1))
  e2e_start_program "$app"
  pid=$E2E_APP_PID
  # Anywhere from during start-up to just after the second save.
  sleep "$(awk -v s="$RANDOM" 'BEGIN { srand(s); printf "%.3f", rand() * 10.7 }')"
  if ! kill -KILL "$pid" 2>/dev/null; then
    xdpyinfo >/dev/null 2>&1 || e2e_fail "round $round: the X server is gone"
    # A start that could not reach the display under load is no database
    # matter: the round is run again, a few times at most.
    if grep -q 'platform plugin' "$E2E_TMP/talvenor.log" && ((starts_lost < 3)); then
      starts_lost=$((starts_lost + 1))
      echo "round $round: the program could not start; again. Its output:"
      sed 's/^/  | /' "$E2E_TMP/talvenor.log"
      round=$((round - 1))
      wait "$pid" 2>/dev/null || true
      continue
    fi
    e2e_fail "round $round: the program ended by itself: $(tail -5 "$E2E_TMP/talvenor.log")"
  fi
  wait "$pid" 2>/dev/null || true
  check=$(sqlite3 -cmd ".timeout 3000" "$db" "pragma integrity_check")
  [[ "$check" == ok ]] || e2e_fail "round $round: integrity check: $check"
  now=$(stat_totals "$db")
  read -r k0 c0 m0 a0 r0 <<<"$prev"
  read -r k1 c1 m1 a1 r1 <<<"$now"
  if ((k1 < k0 || c1 < c0 || a1 < a0 || r1 < r0)) || awk -v a="$m1" -v b="$m0" 'BEGIN { exit !(a < b) }'; then
    e2e_fail "round $round: totals went backwards: $prev -> $now"
  fi
  [[ "$now" != "$prev" ]] && saves=$((saves + 1))
  prev=$now
done
((saves > rounds / 4)) || e2e_fail "only $saves of $rounds rounds saved anything: the kills came too early"
echo "rounds=$rounds rounds-with-new-totals=$saves final: $prev"
echo "PASS"
