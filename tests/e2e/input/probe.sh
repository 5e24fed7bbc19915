# Helpers for driving the input probe: it reads commands from a FIFO and
# answers with lines of key=value pairs. Source after lib.sh.

# Starts the probe from folder $1 (it must sit there beside the libraries).
probe_start() {
  local dir=$1
  PROBE_OUT="$E2E_TMP/probe.out"
  PROBE_IN="$E2E_TMP/probe.in"
  rm -f "$PROBE_IN" "$PROBE_OUT"
  mkfifo "$PROBE_IN"
  : >"$PROBE_OUT"
  "$dir/talvenor_input_probe" <"$PROBE_IN" >"$PROBE_OUT" 2>"$E2E_TMP/probe.err" &
  PROBE_PID=$!
  E2E_PIDS+=($PROBE_PID)
  exec {PROBE_FD}>"$PROBE_IN"
  probe_wait_line '^start ' 10 >/dev/null || e2e_fail "the probe did not start: $(cat "$E2E_TMP/probe.err")"
}

# Prints the latest line matching $1, waiting up to $2 seconds for one.
probe_wait_line() {
  local pattern=$1 limit=${2:-5} i
  for i in $(seq $((limit * 50))); do
    if grep -q "$pattern" "$PROBE_OUT"; then
      grep "$pattern" "$PROBE_OUT" | tail -n1
      return 0
    fi
    sleep 0.02
  done
  return 1
}

probe_send() { echo "$1" >&"$PROBE_FD"; }

# A fresh report line.
probe_report() {
  local before after i
  before=$(grep -c '^report ' "$PROBE_OUT" || true)
  probe_send report
  for i in $(seq 250); do
    after=$(grep -c '^report ' "$PROBE_OUT" || true)
    if ((after > before)); then
      grep '^report ' "$PROBE_OUT" | tail -n1
      return 0
    fi
    sleep 0.02
  done
  e2e_fail "the probe does not answer: $(cat "$E2E_TMP/probe.err")"
}

# The value of key $1 in line $2.
field() { echo "$2" | tr ' ' '\n' | sed -n "s/^$1=//p"; }

# Waits up to 5 s until report field $1 equals $2, then checks that it stays so
# for a moment (nothing counted twice). Fails with $3 as the message.
probe_expect() {
  local name=$1 want=$2 what=$3 line i
  for i in $(seq 50); do
    line=$(probe_report)
    [[ "$(field "$name" "$line")" == "$want" ]] && break
    sleep 0.1
  done
  sleep 0.3
  line=$(probe_report)
  [[ "$(field "$name" "$line")" == "$want" ]] || e2e_fail "$what: $name expected $want, got line: $line"
  echo "ok: $what ($name=$want)"
}
