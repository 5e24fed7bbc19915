#!/usr/bin/env bash
# Balloons always reach the user: through the tray when a tray host shows
# them, else through the desktop's notification service, else through a popup
# of our own near the bottom-right corner that closes on a click or after its
# timeout. Uses a small program around one tray icon on the real service.
source "$(dirname "$0")/../lib.sh"
source "$(dirname "$0")/traylib.sh"
probe=$1
notifyd=$2
e2e_init
e2e_start_display
e2e_start_bus

text='Talvenor正在运行.\r离下一次休息还剩：45分钟.'

# 1. No tray host, no notification service: our popup.
probe_start "$probe"
probe_say "balloon 10 提示|$text"
popup=$(wait_named_window 提示 5) || e2e_fail "no popup without a tray host: $(cat "$PROBE_OUT")"
wait_line "$PROBE_OUT" '^balloon show$' 2 || e2e_fail "no show notification: $(cat "$PROBE_OUT")"
read -r px py < <(window_centre "$popup")
(( px > 1024 / 2 && py > 768 / 2 )) || e2e_fail "popup not near the bottom-right corner: $px,$py"
import -window root "$E2E_TMP/popup.png"
[[ -z "${TRAY_SHOTS:-}" ]] || cp "$E2E_TMP/popup.png" "$TRAY_SHOTS/popup.png"
# A second balloon replaces the first: still one popup.
probe_say "balloon 10 提示|第二个提示"
wait_line "$PROBE_OUT" '^balloon hide$' 2 || e2e_fail "the first balloon was not taken away"
sleep 0.3
n=$(xdotool search --onlyvisible --name '^提示$' | wc -l)
[[ "$n" == 1 ]] || e2e_fail "expected one popup after a replacing balloon, found $n"
popup=$(wait_named_window 提示 2)
read -r px py < <(window_centre "$popup")
xdotool mousemove "$px" "$py" click 1
wait_line "$PROBE_OUT" '^balloon click$' 3 || e2e_fail "a click on the popup was not reported: $(cat "$PROBE_OUT")"
sleep 0.3
xdotool search --onlyvisible --name '^提示$' >/dev/null 2>&1 && e2e_fail "the popup stayed after a click"
# A popup that is left alone closes after its timeout.
probe_say "balloon 1 提示|一秒"
wait_named_window 提示 3 >/dev/null || e2e_fail "no popup for the short balloon"
wait_line "$PROBE_OUT" '^balloon timeout$' 4 || e2e_fail "no timeout after one second"
sleep 0.3
xdotool search --onlyvisible --name '^提示$' >/dev/null 2>&1 && e2e_fail "the popup stayed after its timeout"
probe_say quit
e2e_wait_exit "$PROBE_PID" 5
[[ "$E2E_RC" == 0 ]] || e2e_fail "the probe ended with '$E2E_RC'"
echo "popup: ok"

# 2. No tray host, a notification service on the bus: the desktop's notification.
"$notifyd" >"$E2E_TMP/notifyd.out" 2>&1 &
E2E_PIDS+=($!)
wait_line "$E2E_TMP/notifyd.out" '^registered$' 5 || e2e_fail "fake_notifyd: $(cat "$E2E_TMP/notifyd.out")"
probe_start "$probe"
probe_say "balloon 10 提示|$text"
wait_line "$E2E_TMP/notifyd.out" '^Notify ' 5 || e2e_fail "no notification reached the service"
line=$(grep '^Notify ' "$E2E_TMP/notifyd.out" | head -n1)
expected='app=TrayProbe icon=dialog-information timeout=10000 actions=default, summary=提示 body=Talvenor正在运行.\n离下一次休息还剩：45分钟.'
[[ "$line" == *"$expected" ]] || e2e_fail "unexpected notification: $line"
wait_line "$PROBE_OUT" '^balloon show$' 2 || e2e_fail "no show notification for the bus"
sleep 0.5
xdotool search --onlyvisible --name '^提示$' >/dev/null 2>&1 && e2e_fail "a popup came as well"
# The next balloon takes the first one away at the service.
probe_say "balloon 10 提示|第二个提示"
wait_line "$E2E_TMP/notifyd.out" '^Close id=1$' 3 || e2e_fail "the first notification was not closed"
wait_line "$E2E_TMP/notifyd.out" 'summary=提示 body=第二个提示$' 3 || e2e_fail "no second notification"
probe_say quit
e2e_wait_exit "$PROBE_PID" 5
[[ "$E2E_RC" == 0 ]] || e2e_fail "the probe ended with '$E2E_RC'"
echo "notification service: ok"

# 3. A tray host that shows balloons itself.
e2e_start_tray
probe_start "$probe"
before=$(xdotool search --onlyvisible --name '' 2>/dev/null | sort)
probe_say "balloon 10 提示|$text"
wait_line "$PROBE_OUT" '^balloon show$' 3 || e2e_fail "no balloon through the tray"
sleep 0.8
after=$(xdotool search --onlyvisible --name '' 2>/dev/null | sort)
new=$(comm -13 <(echo "$before") <(echo "$after") | head -n1)
[[ -n "$new" ]] || e2e_fail "no balloon window appeared beside the tray"
import -window root "$E2E_TMP/tray-balloon.png"
[[ -z "${TRAY_SHOTS:-}" ]] || cp "$E2E_TMP/tray-balloon.png" "$TRAY_SHOTS/tray-balloon.png"
sleep 0.3
count=$(count_lines "$E2E_TMP/notifyd.out" '^Notify ')
[[ "$count" == 2 ]] || e2e_fail "the tray's balloon went to the notification service too ($count)"

# Clicks on the docked icon: Qt reports a double click as a click and then a
# double click, yet the component raises only OnDblClick; a single click comes
# as OnClick once the double-click time is over.
icon=$(tray_wait_icon 5 tray_probe) || e2e_fail "the probe's icon did not dock"
read -r ix iy < <(window_centre "$icon")
xdotool mousemove 300 300
sleep 0.2
: >"$PROBE_OUT"
# Hovering is reported where the tray host lets us see it.
xdotool mousemove "$ix" "$iy"
wait_line "$PROBE_OUT" '^move$' 3 || e2e_fail "the pointer entering the icon raised no OnMouseMove"
sleep 0.3
: >"$PROBE_OUT"
xdotool click --repeat 2 --delay 80 1
wait_line "$PROBE_OUT" '^double click$' 3 || e2e_fail "no double click: $(cat "$PROBE_OUT")"
sleep 1.2
[[ $(count_lines "$PROBE_OUT" '^double click$') == 1 ]] || e2e_fail "more than one double click"
[[ $(count_lines "$PROBE_OUT" '^click$') == 0 ]] || e2e_fail "a double click also raised OnClick"
xdotool click 1
wait_line "$PROBE_OUT" '^click$' 3 || e2e_fail "a single click raised no OnClick: $(cat "$PROBE_OUT")"
[[ $(count_lines "$PROBE_OUT" '^double click$') == 1 ]] || e2e_fail "a single click raised OnDblClick"
probe_say quit
e2e_wait_exit "$PROBE_PID" 5
[[ "$E2E_RC" == 0 ]] || e2e_fail "the probe ended with '$E2E_RC'"
echo "tray balloon and clicks: ok"

# 4. A balloon right at the start, before the tray host has placed the new icon,
# still points at the icon and not at the screen's top-left corner.
probe_start "$probe" "提示|开始就显示的气泡"
wait_line "$PROBE_OUT" '^balloon show$' 4 || e2e_fail "no balloon at the start"
sleep 0.5
found=""
for id in $(xdotool search --onlyvisible --pid "$PROBE_PID" 2>/dev/null); do
  geo=$(xdotool getwindowgeometry "$id" | sed -n 's/.*Geometry: //p')
  [[ "$geo" == 22x22 ]] && continue
  read -r bx by < <(window_centre "$id")
  found="$bx $by"
done
[[ -n "$found" ]] || e2e_fail "no balloon window at the start"
read -r bx by <<<"$found"
(( bx > 1024 / 2 && by > 768 / 2 )) || e2e_fail "the first balloon is not beside the icon: $found"
probe_say quit
e2e_wait_exit "$PROBE_PID" 5
[[ "$E2E_RC" == 0 ]] || e2e_fail "the probe ended with '$E2E_RC'"
echo "balloon at the start: ok"
echo PASS
