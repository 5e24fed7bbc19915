# Shared helpers for the end-to-end tests: a virtual X display, the trayer tray
# host, a PulseAudio server with a null sink, a private session bus, and a copy of
# the built program in a temporary folder (so each test has its own Data/eye.mdb).
#
# Use: source lib.sh; e2e_init; e2e_start_display; e2e_start_tray; ...
# Everything started is stopped by the EXIT trap.

set -euo pipefail

E2E_PIDS=()
E2E_TMP=""
# Leaks of the desktop libraries at exit are not the program's; ASan and UBSan
# still stop it on a real fault.
export ASAN_OPTIONS=${ASAN_OPTIONS:-detect_leaks=0}

e2e_init() {
  E2E_TMP=$(mktemp -d /tmp/talvenor-e2e.XXXXXX)
  trap e2e_cleanup EXIT
  export XDG_RUNTIME_DIR="$E2E_TMP/run"
  mkdir -p "$XDG_RUNTIME_DIR"
  chmod 700 "$XDG_RUNTIME_DIR"
}

e2e_cleanup() {
  local pid
  for pid in "${E2E_PIDS[@]}"; do kill "$pid" 2>/dev/null || true; done
  for pid in "${E2E_PIDS[@]}"; do wait "$pid" 2>/dev/null || true; done
  [[ -n "${E2E_KEEP:-}" ]] || rm -rf "$E2E_TMP"
}

e2e_fail() {
  echo "FAIL: $*" >&2
  exit 1
}

# Starts Xvfb on a free display number and exports DISPLAY. -noreset: by default
# the server resets when its last client leaves, and hangs up on whoever connects
# during the reset (a test that starts a client right after another one ended
# would then fail at random).
e2e_start_display() {
  local size=${1:-1024x768x24}
  local out="$E2E_TMP/display"
  Xvfb -displayfd 9 -screen 0 "$size" -nolisten tcp -noreset 9>"$out" >/dev/null 2>&1 &
  E2E_PIDS+=($!)
  local i
  for i in $(seq 100); do [[ -s "$out" ]] && break; sleep 0.05; done
  [[ -s "$out" ]] || e2e_fail "Xvfb did not start"
  export DISPLAY=":$(head -n1 "$out")"
}

# Starts the trayer tray host and waits until it owns the system tray selection.
e2e_start_tray() {
  trayer --edge bottom --align right --widthtype request --height 24 --transparent false \
    >"$E2E_TMP/trayer.log" 2>&1 &
  local pid=$!
  E2E_PIDS+=($pid)
  local i
  for i in $(seq 100); do
    if xdotool search --classname trayer >/dev/null 2>&1; then return 0; fi
    kill -0 "$pid" 2>/dev/null || e2e_fail "trayer ended at its start: $(cat "$E2E_TMP/trayer.log")"
    sleep 0.05
  done
  e2e_fail "trayer did not start: $(cat "$E2E_TMP/trayer.log")"
}

# Starts a private session bus and exports DBUS_SESSION_BUS_ADDRESS.
e2e_start_bus() {
  local out
  out=$(dbus-daemon --session --fork --print-address=1 --print-pid=1 --nopidfile)
  export DBUS_SESSION_BUS_ADDRESS=$(echo "$out" | sed -n 1p)
  E2E_PIDS+=("$(echo "$out" | sed -n 2p)")
}

# Starts a PulseAudio server of our own with a null sink named talvenor_null as
# the default sink.
e2e_start_pulse() {
  export PULSE_RUNTIME_PATH="$XDG_RUNTIME_DIR/pulse"
  mkdir -p "$PULSE_RUNTIME_PATH"
  export HOME="$E2E_TMP/home"
  mkdir -p "$HOME"
  pulseaudio -n --daemonize=no --exit-idle-time=-1 --system=false --disallow-exit \
    -L "module-native-protocol-unix" -L "module-null-sink sink_name=talvenor_null" \
    -L "module-always-sink" >"$E2E_TMP/pulse.log" 2>&1 &
  E2E_PIDS+=($!)
  E2E_PULSE_PID=$!
  local i
  for i in $(seq 100); do pactl info >/dev/null 2>&1 && break; sleep 0.05; done
  pactl info >/dev/null 2>&1 || e2e_fail "pulseaudio did not start"
  pactl set-default-sink talvenor_null
}

# Copies the built program folder (bin/) into the test folder; prints its path.
# $1: the build's bin folder.
e2e_stage_program() {
  local bin=$1
  local dest="$E2E_TMP/app"
  mkdir -p "$dest"
  cp -a "$bin/." "$dest/"
  echo "$dest"
}

# Starts the program from a staged folder; sets E2E_APP_PID.
e2e_start_program() {
  local dir=$1
  shift
  "$dir/talvenor" "$@" >"$E2E_TMP/talvenor.log" 2>&1 &
  E2E_APP_PID=$!
  E2E_PIDS+=($E2E_APP_PID)
}

# Waits up to $2 seconds (default 5) for a window whose name matches $1.
e2e_wait_window() {
  local name=$1 limit=${2:-5} i
  for i in $(seq $((limit * 20))); do
    if xdotool search --onlyvisible --name "$name" >/dev/null 2>&1; then return 0; fi
    sleep 0.05
  done
  return 1
}

# Waits for a child process to end within $2 seconds (default 5); sets E2E_RC to
# its exit status, or to "timeout". Call it directly, not in $(...).
e2e_wait_exit() {
  local pid=$1 limit=${2:-5} i state
  E2E_RC=timeout
  for i in $(seq $((limit * 50))); do
    state=$(awk '{print $3}' "/proc/$pid/stat" 2>/dev/null || echo gone)
    if [[ "$state" == Z || "$state" == gone ]]; then
      E2E_RC=0
      wait "$pid" || E2E_RC=$?
      return 0
    fi
    sleep 0.02
  done
}
