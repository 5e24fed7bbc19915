#!/usr/bin/env bash
# CPU of the whole program (hook libraries included) under synthetic input:
# idle, a 1000 events/s pointer stream of XTEST relative motion along circles,
# and 20 keys/s; the same streams once more with the hook libraries removed
# (what the rest of the program costs). CPU seconds come from /proc/<pid>/stat
# (user + system of all the process's threads, in clock ticks) and, finer, from
# each thread's /proc/<pid>/task/<tid>/schedstat (nanoseconds on a CPU, and
# wake-ups per second after the slash).
#
#   cpu_whole_program.sh <build>/bin <build>/tests/e2e/input/talvenor_xtest [seconds]
#
# ROUNDS=n in the environment repeats the four measures n times and ends with
# their medians. Use a build without sanitizers. Also prints the pointer travel
# the program stored against the circles' length and against the sum of the
# whole-pixel steps sent.
source "$(dirname "$0")/../../e2e/lib.sh"
bin=$1
xtest=$2
secs=${3:-30}
rounds=${ROUNDS:-1}
e2e_init
e2e_start_display 1024x768x24
e2e_start_bus
e2e_start_tray
tick=$(getconf CLK_TCK)

cpu_ticks() { sed 's/^.*) //' "/proc/$1/stat" | awk '{print $12 + $13}'; }

# "tid comm nanoseconds" for every thread of process $1.
thread_ns() {
  local t
  for t in /proc/$1/task/*; do
    echo "${t##*/} $(tr ' ' '_' <"$t/comm") $(awk '{print $1, $3}' "$t/schedstat")"
  done
}

travel() {
  sqlite3 -cmd ".timeout 3000" "$1" "select printf('%.1f', coalesce(sum(MoveMouse),0)) from Stat"
}

# Runs $2 against program $1 and prints the share of one core in percent:
# "idle"; "pointer", the stream with no client taking motion events (the server
# then sends recorded moves in bursts); "listened", the stream while a client
# takes the root window's motion events (the server sends each move at once, as
# on a desktop whose window under the pointer wants motion); "keys".
measure() {
  local pid=$1 what=$2 c0 c1 t0 t1 out
  thread_ns "$pid" >"$E2E_TMP/ns0"
  c0=$(cpu_ticks "$pid")
  t0=$(date +%s.%N)
  case $what in
    idle) sleep "$secs"; out="" ;;
    pointer) out=$("$xtest" pointer 1000 "$secs" 200) ;;
    listened) out=$("$xtest" pointer 1000 "$secs" 200 listen) ;;
    keys) out=$("$xtest" keys 20 "$secs") ;;
  esac
  c1=$(cpu_ticks "$pid")
  t1=$(date +%s.%N)
  thread_ns "$pid" >"$E2E_TMP/ns1"
  awk -v c="$((c1 - c0))" -v k="$tick" -v t0="$t0" -v t1="$t1" -v w="$what" -v o="$out" \
    'BEGIN { printf "  %-8s %6.3f %% of one core by ticks (%.2f s in %.1f s)  %s\n", w, 100 * c / k / (t1 - t0), c / k, t1 - t0, o }'
  # Per thread, from nanoseconds (threads alive at both reads).
  # Also each thread's wake-ups per second (times it was put on a CPU).
  awk -v t0="$t0" -v t1="$t1" 'NR == FNR { a[$1] = $3; r[$1] = $4; next }
    ($1 in a) { d = $3 - a[$1]; sum += d; if (d > 0) per = per sprintf(" %s=%.3f%%/%.0f", $2, 100 * d / 1e9 / (t1 - t0), ($4 - r[$1]) / (t1 - t0)) }
    END { printf "           %6.3f %% of one core by schedstat:%s\n", 100 * sum / 1e9 / (t1 - t0), per }' \
    "$E2E_TMP/ns0" "$E2E_TMP/ns1" | tee -a "$E2E_TMP/shares-$what"
  LAST_OUT=$out
}

run() {
  local label=$1 drop=$2 app pid i
  app=$(e2e_stage_program "$bin")
  [[ -n "$drop" ]] && rm -f "$app/libkeyboardhook.so" "$app/libmousehook.so"
  e2e_start_program "$app"
  pid=$E2E_APP_PID
  for i in $(seq 150); do
    [[ "$(sqlite3 -cmd ".timeout 3000" "$app/Data/eye.mdb" "select count(*) from Stat" 2>/dev/null)" -gt 0 ]] && break
    sleep 0.1
  done
  # The first event measures from (0, 0): bring the pointer to the stream's
  # start first and take the travel from there.
  xdotool mousemove 512 384
  sleep 6
  local before=0
  [[ -z "$drop" ]] && before=$(travel "$app/Data/eye.mdb")
  echo "$label:"
  rm -f "$E2E_TMP"/shares-*
  local sent="" round
  for round in $(seq "$rounds"); do
    ((rounds > 1)) && echo " round $round:"
    measure "$pid" idle
    measure "$pid" pointer
    sent="$sent $LAST_OUT"
    measure "$pid" listened
    sent="$sent $LAST_OUT"
    measure "$pid" keys
  done
  if ((rounds > 1)); then
    # The machine's own noise moves single readings by a third: the median of
    # the rounds is the figure.
    local what
    for what in idle pointer listened keys; do
      awk '{ print $1 }' "$E2E_TMP/shares-$what" | sort -g |
        awk -v w="$what" '{ v[NR] = $1 } END {
          m = NR % 2 ? v[(NR + 1) / 2] : (v[NR / 2] + v[NR / 2 + 1]) / 2
          printf "  median  %-8s %6.3f %% of one core (schedstat, %d rounds, %.3f to %.3f)\n", w, m, NR, v[1], v[NR] }'
    done
  fi
  if [[ -z "$drop" ]]; then
    sleep 11  # two saves
    local stored
    stored=$(travel "$app/Data/eye.mdb")
    awk -v s="$stored" -v b="$before" -v o="$sent" 'BEGIN {
      s -= b
      n = split(o, a, " "); for (i = 1; i <= n; i++) if (split(a[i], kv, "=") == 2) v[kv[1]] += kv[2]
      printf "  travel stored over both pointer streams %.1f px; circles %.1f px (%+.2f %%); whole-pixel steps %.1f px (%+.2f %%)\n",
        s, v["circle"], 100 * (s - v["circle"]) / v["circle"], v["travel"], 100 * (s - v["travel"]) / v["travel"] }'
  fi
  kill -TERM "$pid"
  e2e_wait_exit "$pid" 5
}

run "the program" ""
[[ "${4:-}" == program-only ]] || run "the program without its hook libraries" drop
