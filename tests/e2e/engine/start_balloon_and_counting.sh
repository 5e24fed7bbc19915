#!/usr/bin/env bash
# The real program, with a tray host and a sound server, announces its start in a
# balloon that goes away after its ten seconds, and counts the
# working phase down while it sits in the tray: once the main window is brought
# back, its statistics box changes from one second to the next.
# Screenshots stay in $E2E_SHOTS (default /tmp/talvenor-e2e-engine).
source "$(dirname "$0")/../lib.sh"
bin=$1
shots=${E2E_SHOTS:-/tmp/talvenor-e2e-engine}
mkdir -p "$shots"
e2e_init
e2e_start_display 1024x768x24
e2e_start_bus
e2e_start_pulse
e2e_start_tray
app=$(e2e_stage_program "$bin")
e2e_start_program "$app"
pid=$E2E_APP_PID

# Visible windows of the program as "ID X Y W H" lines.
windows() {
  local id
  for id in $(xdotool search --onlyvisible --pid "$pid" 2>/dev/null); do
    eval "$(xdotool getwindowgeometry --shell "$id" 2>/dev/null)" || continue
    echo "$id $X $Y $WIDTH $HEIGHT"
  done
}
# Besides the main window and the icon docked in the tray.
others() { windows | awk '!($4 == 630 && $5 == 451) && !($4 <= 32 && $5 <= 32)'; }
main_window() { windows | awk '$4 == 630 && $5 == 451' | head -n1; }
alive() { kill -0 "$pid" 2>/dev/null || e2e_fail "the program ended: $(cat "$E2E_TMP/talvenor.log")"; }

# 1. The start balloon: a further window of the program.
balloon=""
for _ in $(seq 160); do
  balloon=$(others | head -n1)
  [[ -n "$balloon" ]] && break
  sleep 0.05
done
alive
[[ -n "$balloon" ]] || e2e_fail "no balloon within 8 s of the start"
import -window root "$shots/balloon.png"
read -r _ bx by bw bh <<<"$balloon"
echo "balloon at $bx,$by size ${bw}x$bh"
((bw >= 100 && bh >= 30)) || e2e_fail "the balloon is too small to hold its text: $balloon"

# A balloon, unlike an error box, goes away by itself after its ten seconds.
gone=""
for _ in $(seq 300); do
  if [[ -z "$(others)" ]]; then gone=1; break; fi
  sleep 0.05
done
alive
[[ -n "$gone" ]] || e2e_fail "the balloon (or another window) is still there after 15 s: $(others)"
[[ -z "$(main_window)" ]] || e2e_fail "the main window showed by itself"

# 2. Counting: bring the main window back with a double click on the tray icon.
icon=$(windows | awk '$4 <= 32 && $5 <= 32' | head -n1)
[[ -n "$icon" ]] || e2e_fail "the tray icon is not docked"
read -r _ ix iy iw ih <<<"$icon"
xdotool mousemove --sync $((ix + iw / 2)) $((iy + ih / 2)) click --repeat 2 --delay 60 1
e2e_wait_window '^Talvenor$' 5 || true
win=""
for _ in $(seq 100); do
  win=$(main_window)
  [[ -n "$win" ]] && break
  sleep 0.05
done
[[ -n "$win" ]] || e2e_fail "a double click on the tray icon did not bring the main window back"
read -r _ wx wy _ _ <<<"$win"
# The statistics box of the settings page: countdown, totals, counters.
box="217x185+$((wx + 4 + 376))+$((wy + 67 + 4 + 32))"
sleep 1.5
import -window root "$shots/counting-1.png"
sleep 2
import -window root "$shots/counting-2.png"
alive
convert "$shots/counting-1.png" -crop "$box" +repage "$shots/box-1.png"
convert "$shots/counting-2.png" -crop "$box" +repage "$shots/box-2.png"
changed=$(compare -metric AE "$shots/box-1.png" "$shots/box-2.png" null: 2>&1 || true)
echo "statistics box: $changed pixels changed in 2 s"
[[ "$changed" =~ ^[0-9]+$ ]] || e2e_fail "could not compare the screenshots: $changed"
((changed > 0)) || e2e_fail "the countdown did not move in two seconds (see $shots)"
[[ -z "$(others)" ]] || e2e_fail "an unexpected window appeared: $(others)"
echo "PASS"
