#!/usr/bin/env bash
# Started with no tray host at all, the program's first balloon ("提示", the
# running program and the minutes to the next rest) still reaches the user: our
# popup near the bottom-right corner.
source "$(dirname "$0")/../lib.sh"
source "$(dirname "$0")/traylib.sh"
bin=$1
e2e_init
e2e_start_display
e2e_start_bus
app=$(e2e_stage_program "$bin")
e2e_start_program "$app"
popup=$(wait_named_window 提示 10) || e2e_fail "no balloon without a tray host: $(cat "$E2E_TMP/talvenor.log")"
read -r px py < <(window_centre "$popup")
(( px > 1024 / 2 && py > 768 / 2 )) || e2e_fail "popup not near the bottom-right corner: $px,$py"
import -window root "$E2E_TMP/program-popup.png"
[[ -z "${TRAY_SHOTS:-}" ]] || cp "$E2E_TMP/program-popup.png" "$TRAY_SHOTS/program-popup.png"
kill -TERM "$E2E_APP_PID"
e2e_wait_exit "$E2E_APP_PID" 5
[[ "$E2E_RC" == 0 ]] || e2e_fail "the program ended with '$E2E_RC'"
echo PASS
