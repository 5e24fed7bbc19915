#!/usr/bin/env bash
# Installs what is missing, builds Talvenor and runs it on the current X display.
# With no display set, starts a virtual one (Xvfb with the trayer tray host).
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
"$root/scripts/setup.sh"
cmake -S "$root" -B "$root/build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DTALVENOR_TESTS=OFF >/dev/null
cmake --build "$root/build"
if [[ -z "${DISPLAY:-}" ]]; then
  display=:77
  echo "run: no DISPLAY is set; starting a virtual display $display (Xvfb) with the trayer tray host"
  Xvfb "$display" -screen 0 1280x800x24 -nolisten tcp -noreset &
  xvfb=$!
  trap 'kill $trayer $xvfb 2>/dev/null || true' EXIT
  export DISPLAY=$display
  for _ in $(seq 50); do xdpyinfo >/dev/null 2>&1 && break; sleep 0.1; done
  trayer --edge bottom --align right --widthtype request --height 24 --transparent false &
  trayer=$!
fi
"$root/build/bin/talvenor"
