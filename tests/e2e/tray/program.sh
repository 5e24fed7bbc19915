#!/usr/bin/env bash
# The program in a tray host: the icon docks at start with no window shown; a
# double click shows the 630 x 451 window "Talvenor" with the settings page and
# its button pressed; a right click opens the tray menu, which a click
# elsewhere closes; "退出" ends the program with status 0 and takes the icon away.
source "$(dirname "$0")/../lib.sh"
source "$(dirname "$0")/traylib.sh"
bin=$1
e2e_init
e2e_start_display
e2e_start_bus
e2e_start_tray
app=$(e2e_stage_program "$bin")
e2e_start_program "$app"
pid=$E2E_APP_PID

icon=$(tray_wait_icon 10) || e2e_fail "the icon did not dock: $(cat "$E2E_TMP/talvenor.log")"
sleep 0.5
visible_windows "$pid" | grep -q '^630x451' && e2e_fail "the main window shows at start"
read -r ix iy < <(window_centre "$icon")

main_window() { xdotool search --onlyvisible --pid "$pid" --name '^Talvenor$' 2>/dev/null |
  while read -r id; do
    [[ $(xdotool getwindowgeometry "$id" | sed -n 's/.*Geometry: //p') == 630x451 ]] && echo "$id"
  done | head -n1 || true; }

# Double click: the window comes back.
xdotool mousemove "$ix" "$iy"
sleep 0.2
xdotool click --repeat 2 --delay 80 1
win=""
for i in $(seq 60); do
  win=$(main_window)
  [[ -n "$win" ]] && break
  sleep 0.05
done
[[ -n "$win" ]] || e2e_fail "a double click did not show the 630x451 window: $(visible_windows "$pid")"
[[ $(xdotool getwindowname "$win") == Talvenor ]] || e2e_fail "wrong title"

# What the window shows is what pressing the settings button shows: the
# toolbar (which button is down) and the left part of the page host.
shoot() {
  sleep 0.4
  import -window "$win" "$E2E_TMP/$1.png"
  convert "$E2E_TMP/$1.png" -crop 630x64+0+0 +repage "$E2E_TMP/$1-bar.png"
  convert "$E2E_TMP/$1.png" -crop 300x300+4+71 +repage "$E2E_TMP/$1-page.png"
}
# compare gives 0 for equal pictures, 1 for different ones, 2 for an error.
differs() {
  local rc=0
  [[ -z "${TRAY_SHOTS:-}" ]] || cp "$E2E_TMP/$1.png" "$E2E_TMP/$2.png" "$TRAY_SHOTS/"
  compare -metric AE "$E2E_TMP/$1.png" "$E2E_TMP/$2.png" null: 2>/dev/null || rc=$?
  (( rc < 2 )) || e2e_fail "cannot compare $1 and $2"
  (( rc == 1 ))
}
read -r wx wy < <(xwininfo -id "$win" | sed -n 's/.*Absolute upper-left [XY]: *//p' | xargs)
away() { xdotool mousemove $((wx + 600)) $((wy + 30)); }
away
shoot shown
xdotool mousemove $((wx + 8 + 66 + 8 + 33)) $((wy + 4 + 27)) click 1  # BWeb
away
shoot stats
xdotool mousemove $((wx + 8 + 33)) $((wy + 4 + 27)) click 1  # BSample
away
shoot settings
differs stats-bar shown-bar || e2e_fail "pressing the statistics button changed nothing in the toolbar"
differs stats-page shown-page || e2e_fail "pressing the statistics button changed nothing in the page"
differs settings-bar shown-bar && e2e_fail "the toolbar after the double click is not the settings button pressed"
differs settings-page shown-page && e2e_fail "the page after the double click is not the settings page"
echo "double click: ok"

# Right click: our menu at the pointer; a click elsewhere closes it. The menu
# is the window that the click brings (the start balloon may still be up).
all_windows() { xdotool search --onlyvisible --pid "$pid" 2>/dev/null | sort || true; }
open_menu() {
  local before id
  before=$(all_windows)
  xdotool mousemove "$ix" "$iy" click 3
  for i in $(seq 40); do
    id=$(comm -13 <(echo "$before") <(all_windows) | head -n1)
    if [[ -n "$id" ]]; then
      echo "$id"
      return 0
    fi
    sleep 0.05
  done
  return 1
}
menu=$(open_menu) || e2e_fail "a right click opened no menu"
read -r mw mh < <(xdotool getwindowgeometry "$menu" | sed -n 's/.*Geometry: \([0-9]*\)x\([0-9]*\)/\1 \2/p')
(( mh > 90 && mw > 60 )) || e2e_fail "the menu is too small for its seven entries: ${mw}x${mh}"
import -window root "$E2E_TMP/menu.png"
[[ -z "${TRAY_SHOTS:-}" ]] || cp "$E2E_TMP/menu.png" "$TRAY_SHOTS/menu.png"
xdotool mousemove 200 200 click 1
sleep 0.5
all_windows | grep -qx "$menu" && e2e_fail "the menu stayed open after a click elsewhere"

# Right click again and choose "退出", the last entry.
menu=$(open_menu) || e2e_fail "the second right click opened no menu"
read -r mx my < <(xwininfo -id "$menu" | sed -n 's/.*Absolute upper-left [XY]: *//p' | xargs)
read -r mw mh < <(xdotool getwindowgeometry "$menu" | sed -n 's/.*Geometry: \([0-9]*\)x\([0-9]*\)/\1 \2/p')
xdotool mousemove $((mx + mw / 2)) $((my + mh - 12))
[[ -z "${TRAY_SHOTS:-}" ]] || import -window root "$TRAY_SHOTS/exit-menu.png"
sleep 0.2
xdotool click 1
e2e_wait_exit "$pid" 5
[[ "$E2E_RC" == 0 ]] || e2e_fail "退出: expected exit status 0, got '$E2E_RC'"
[[ -z $(tray_icon_window) ]] || e2e_fail "the icon stayed in the tray"
echo PASS
