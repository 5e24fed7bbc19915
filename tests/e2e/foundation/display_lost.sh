#!/usr/bin/env bash
# When the X server goes away (the session ends without asking), the program
# ends promptly by itself: no hang in a lost connection, no crash on the way out.
source "$(dirname "$0")/../lib.sh"
bin=$1
e2e_init
e2e_start_display
xvfb=${E2E_PIDS[0]}
e2e_start_bus
e2e_start_tray
app=$(e2e_stage_program "$bin")
e2e_start_program "$app"
sleep 3
kill -0 "$E2E_APP_PID" 2>/dev/null || e2e_fail "the program ended by itself: $(cat "$E2E_TMP/talvenor.log")"
kill "$xvfb"
e2e_wait_exit "$E2E_APP_PID" 10
[[ "$E2E_RC" != timeout ]] || e2e_fail "the program still runs 10 s after its display went away"
# The toolkit ends with 1 on a broken connection; 128+N would be a signal.
[[ "$E2E_RC" -lt 128 ]] || e2e_fail "the program died of a signal ($E2E_RC): $(tail -20 "$E2E_TMP/talvenor.log")"
grep -q 'ERROR: AddressSanitizer\|runtime error' "$E2E_TMP/talvenor.log" &&
  e2e_fail "a sanitizer report on the way out: $(grep -A5 'ERROR\|runtime error' "$E2E_TMP/talvenor.log" | head -20)"
echo "PASS (exit status $E2E_RC)"
