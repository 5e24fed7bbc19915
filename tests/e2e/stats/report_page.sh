#!/usr/bin/env bash
# The statistics page of the real program: opened through the toolbar, "确定"
# fills the grid with today's row and the footer. With STATS_SHOTS set, the
# screenshots are copied into that folder to be looked at.
source "$(dirname "$0")/../lib.sh"
source "$(dirname "$0")/../tray/traylib.sh"
source "$(dirname "$0")/statslib.sh"
bin=$1
e2e_init
e2e_start_display 1024x768x24
e2e_start_bus
e2e_start_tray
app=$(e2e_stage_program "$bin")
db="$app/Data/eye.mdb"
xdotool mousemove 20 20
e2e_start_program "$app"
pid=$E2E_APP_PID
icon=$(tray_wait_icon 10) || e2e_fail "the icon did not dock: $(cat "$E2E_TMP/talvenor.log")"
wait_first_save "$db" 15 || e2e_fail "no save within 15 s"
xdotool key --delay 30 a b c
xdotool click --delay 120 --repeat 2 1
wait_save "$db" 12 || e2e_fail "no save"
sleep 0.3
wait_save "$db" 8 || e2e_fail "no second save"
read -r keys clicks _ <<<"$(stat_totals "$db")"
((keys >= 3)) || e2e_fail "the keys were not saved: $keys"

read -r ix iy < <(window_centre "$icon")
xdotool mousemove "$ix" "$iy"
sleep 0.2
xdotool click --repeat 2 --delay 80 1
win=""
for i in $(seq 60); do
  win=$(xdotool search --onlyvisible --pid "$pid" --name '^Talvenor$' 2>/dev/null | head -n1 || true)
  [[ -n "$win" ]] && break
  sleep 0.05
done
[[ -n "$win" ]] || e2e_fail "the main window did not come back"
read -r wx wy < <(xwininfo -id "$win" | sed -n 's/.*Absolute upper-left [XY]: *//p' | xargs)
xdotool mousemove $((wx + 8 + 66 + 8 + 33)) $((wy + 4 + 27)) click 1  # "统计"
sleep 0.5
xdotool mousemove $((wx + 600)) $((wy + 30))
import -window "$win" "$E2E_TMP/before.png"
# "确定": pnForm sits at (4, 71) in the window, the button at (496, 19) in it.
xdotool mousemove $((wx + 4 + 496 + 37)) $((wy + 71 + 19 + 13)) click 1
sleep 0.8
xdotool mousemove $((wx + 600)) $((wy + 30))
sleep 0.2
import -window "$win" "$E2E_TMP/after.png"
import -window root "$E2E_TMP/screen.png"
if [[ -n "${STATS_SHOTS:-}" ]]; then
  mkdir -p "$STATS_SHOTS"
  cp "$E2E_TMP/before.png" "$E2E_TMP/after.png" "$E2E_TMP/screen.png" "$STATS_SHOTS/"
fi
# The grid (16, 56 in the page) changed: rows and footer appeared.
for shot in before after; do
  convert "$E2E_TMP/$shot.png" -crop 593x313+20+127 +repage "$E2E_TMP/$shot-grid.png"
done
rc=0
compare -metric AE "$E2E_TMP/before-grid.png" "$E2E_TMP/after-grid.png" null: 2>/dev/null || rc=$?
((rc == 1)) || e2e_fail "pressing 确定 changed nothing in the grid (compare: $rc)"
# No error box: apart from the main window and the tray icon, nothing of the
# program shows.
for id in $(xdotool search --onlyvisible --pid "$pid" 2>/dev/null); do
  [[ "$id" == "$win" ]] && continue
  width=$(xdotool getwindowgeometry "$id" | sed -n 's/.*Geometry: \([0-9]*\)x.*/\1/p')
  ((width > 64)) && e2e_fail "a window showed beside the main window: $(xdotool getwindowname "$id")"
done
kill -TERM "$pid"
e2e_wait_exit "$pid" 5
[[ "$E2E_RC" == 0 ]] || e2e_fail "exit status '$E2E_RC'"
echo "PASS"
