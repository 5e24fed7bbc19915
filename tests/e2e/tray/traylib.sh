# Helpers for the tray tests, on top of lib.sh.

# The window id of the program's icon docked in trayer's panel, or nothing.
tray_icon_window() {
  local panel
  panel=$(xdotool search --name '^panel$' 2>/dev/null | head -n1) || true
  [[ -n "$panel" ]] || return 0
  xwininfo -tree -id "$panel" 2>/dev/null |
    sed -n 's/^ *\(0x[0-9a-f]*\) "[^"]*": ("talvenor" "Talvenor").*/\1/p' | head -n1
}

# Waits up to $1 seconds for the icon to dock; prints its id.
tray_wait_icon() {
  local limit=${1:-5} i id
  for i in $(seq $((limit * 20))); do
    id=$(tray_icon_window)
    if [[ -n "$id" ]]; then
      echo "$id"
      return 0
    fi
    sleep 0.05
  done
  return 1
}

# Centre of a window in root coordinates: "X Y".
window_centre() {
  local info x y w h
  info=$(xwininfo -id "$1")
  x=$(echo "$info" | sed -n 's/.*Absolute upper-left X: *//p')
  y=$(echo "$info" | sed -n 's/.*Absolute upper-left Y: *//p')
  w=$(echo "$info" | sed -n 's/.*Width: *//p')
  h=$(echo "$info" | sed -n 's/.*Height: *//p')
  echo "$((x + w / 2)) $((y + h / 2))"
}

# Visible top-level windows of a process as "WIDTHxHEIGHT name" lines.
visible_windows() {
  local id
  for id in $(xdotool search --onlyvisible --pid "$1" 2>/dev/null); do
    local geo
    geo=$(xdotool getwindowgeometry "$id" 2>/dev/null | sed -n 's/.*Geometry: //p')
    echo "$geo $(xdotool getwindowname "$id" 2>/dev/null)"
  done
}
