#!/usr/bin/env bash
# With the delivered database set to work 0 minutes, rest 1 minute, the manual
# scheme and all three reminders on, the rest reminders of the real program come
# within two seconds of its start:
#   1. under trayer with a null sink: the tray icon animates, a balloon shows
#      beside it and the chime reaches the sink; then the settings page is shown
#      (screenshot kept in $E2E_SHOTS) and an exit asked for during the animation
#      test's ten-second wait takes effect only when the wait is over;
#   2. with no tray host and a notification service on the bus, the balloon's
#      text is the reminder text and "请您休息：1分钟.";
#   3. with the database gone, the settings cannot be loaded: the error is shown
#      in a box and the program goes on.
source "$(dirname "$0")/../lib.sh"
source "$(dirname "$0")/../tray/traylib.sh"
bin=$1
notifyd=$2
shots=${E2E_SHOTS:-/tmp/talvenor-e2e-settings}
mkdir -p "$shots"
reminder='该休息眼睛了'
e2e_init

# A staged copy of the program whose database holds the settings of this test.
stage() {
  local app
  app=$(e2e_stage_program "$bin")
  sqlite3 "$app/Data/eye.mdb" "update Setting set HintInterval='手动设置', EachRestTime='0',
    RestTime='1', EidolonHint=-1, BladderHint=-1, SoundHint=-1, SoundPath='',
    IsAotuRun=0, HimtText='$reminder'"
  echo "$app"
}
now_ms() { date +%s%3N; }
alive() { kill -0 "$1" 2>/dev/null || e2e_fail "the program ended: $(cat "$E2E_TMP/talvenor.log")"; }

# ---------------------------------------------------------------- 1. trayer
e2e_start_display 1024x768x24
e2e_start_bus
e2e_start_pulse
e2e_start_tray
app=$(stage)
[[ -f "$app/res/enter.wav" ]] || e2e_fail "res/enter.wav is not beside the program"
parec -d talvenor_null.monitor --format=s16le --rate=22050 --channels=1 \
  >"$E2E_TMP/sink.raw" 2>"$E2E_TMP/parec.log" &
parec_pid=$!
E2E_PIDS+=($parec_pid)
sleep 1  # the monitor delivers only after a moment
started=$(now_ms)
e2e_start_program "$app"
pid=$E2E_APP_PID

# The icon, sampled every 150 ms: more than one picture means it animates.
icon=$(tray_wait_icon 5) || e2e_fail "the tray icon did not dock: $(cat "$E2E_TMP/talvenor.log")"
declare -A pictures=()
animated_at=""
for i in $(seq 40); do
  import -window "$icon" "$E2E_TMP/icon.png" 2>/dev/null || true
  pictures[$(md5sum <"$E2E_TMP/icon.png" | cut -c1-32)]=1
  if ((${#pictures[@]} >= 3)); then animated_at=$(now_ms); break; fi
  sleep 0.15
done
alive "$pid"
[[ -n "$animated_at" ]] || e2e_fail "the tray icon did not animate (${#pictures[@]} pictures in 6 s)"
echo "icon animating $((animated_at - started)) ms after the start"
# Three pictures need at least two frame changes (400 ms each) after the rest began.
((animated_at - started <= 2000 + 800 + 300)) || e2e_fail "the animation began too late"

# A balloon beside the tray (a window of the program besides the icon).
balloon=""
for id in $(xdotool search --onlyvisible --pid "$pid" 2>/dev/null); do
  geo=$(xdotool getwindowgeometry "$id" | sed -n 's/.*Geometry: //p')
  [[ "$geo" == 630x451 || "$id" == "$((icon))" ]] && continue
  read -r gw gh <<<"${geo/x/ }"
  ((gw > 40 && gh > 20)) && balloon=$id
done
[[ -n "$balloon" ]] || e2e_fail "no balloon window beside the tray"
import -window root "$shots/rest-balloon.png"

# The chime reached the null sink.
sleep 1.5
kill "$parec_pid" 2>/dev/null || true
wait "$parec_pid" 2>/dev/null || true
peak=$(python3 -c '
import sys, array
data = open(sys.argv[1], "rb").read()
a = array.array("h")
a.frombytes(data[: len(data) // 2 * 2])
print(max((abs(x) for x in a), default=0))' "$E2E_TMP/sink.raw")
echo "null sink peak: $peak"
((peak > 1000)) || e2e_fail "the chime did not reach the sink (peak $peak)"

# The settings page, shown by a double click on the icon.
read -r ix iy < <(window_centre "$icon")
xdotool mousemove --sync "$ix" "$iy" click --repeat 2 --delay 60 1
win=$(wait_named_window Talvenor 5) || e2e_fail "the main window did not come back"
sleep 1
eval "$(xdotool getwindowgeometry --shell "$win")"
import -window root "$shots/settings-screen.png"
convert "$shots/settings-screen.png" -crop "630x451+$X+$Y" +repage "$shots/settings-page.png"
echo "settings page: $shots/settings-page.png"

# The animation test (SpeedButton2 at 136,275 of the page), then an exit request
# two seconds into its ten-second wait.
xdotool mousemove --sync $((X + 4 + 136 + 19)) $((Y + 71 + 275 + 10)) click 1
pressed=$(now_ms)
sleep 2
kill -TERM "$pid"
sleep 4
kill -0 "$pid" 2>/dev/null || e2e_fail "the program ended with the animation test's wait half done"
e2e_wait_exit "$pid" 10
ended=$(now_ms)
[[ "$E2E_RC" == 0 ]] || e2e_fail "the program did not end well after the wait: '$E2E_RC'"
echo "exit asked 2 s into the wait; the program ended $((ended - pressed)) ms after the press"
((ended - pressed >= 9500)) || e2e_fail "ended before the ten seconds were over"
echo "tray, sound, exit during the wait: ok"

# ---------------------------------------------------------------- 2. the text
e2e_start_display 1024x768x24  # a display of its own, without a tray host
"$notifyd" >"$E2E_TMP/notifyd.out" 2>&1 &
E2E_PIDS+=($!)
wait_line "$E2E_TMP/notifyd.out" '^registered$' 5 || e2e_fail "fake_notifyd: $(cat "$E2E_TMP/notifyd.out")"
app=$(stage)
started=$(now_ms)
e2e_start_program "$app"
wait_line "$E2E_TMP/notifyd.out" '请您休息' 4 || e2e_fail "no rest balloon: $(cat "$E2E_TMP/notifyd.out")"
arrived=$(now_ms)
line=$(grep '请您休息' "$E2E_TMP/notifyd.out" | head -n1)
echo "$line"
[[ "$line" == *"summary=提示 body=${reminder}\\n请您休息：1分钟." ]] || e2e_fail "unexpected rest balloon: $line"
echo "rest balloon $((arrived - started)) ms after the start"
((arrived - started <= 2000)) || e2e_fail "the rest balloon came later than two seconds"
kill -TERM "$E2E_APP_PID"
e2e_wait_exit "$E2E_APP_PID" 5
[[ "$E2E_RC" == 0 ]] || e2e_fail "the program ended with '$E2E_RC'"

# ---------------------------------------------------------------- 3. no database
app=$(stage)
rm -f "$app/Data/eye.mdb"*
e2e_start_program "$app"
pid=$E2E_APP_PID
box=$(wait_named_window Talvenor 5) || e2e_fail "no error shown without the database"
geo=$(xdotool getwindowgeometry "$box" | sed -n 's/.*Geometry: //p')
[[ "$geo" != 630x451 ]] || e2e_fail "the main window showed instead of an error box"
import -window root "$shots/no-database.png"
sleep 2
alive "$pid"
kill -TERM "$pid"
e2e_wait_exit "$pid" 5
[[ "$E2E_RC" == 0 ]] || e2e_fail "the program ended with '$E2E_RC'"
echo PASS
