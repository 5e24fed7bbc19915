#!/bin/bash
# Runs a test program under a PulseAudio server of its own with a null sink
# (talvenor_null). The program finds the server's pid in TALVENOR_PULSE_PID.
source "$(dirname "$0")/../../e2e/lib.sh"
e2e_init
e2e_start_pulse
export TALVENOR_PULSE_PID=$E2E_PULSE_PID
rc=0
"$@" || rc=$?
# A test that stopped the server and then failed must not leave it stopped:
# the cleanup could not end it otherwise.
kill -CONT "$E2E_PULSE_PID" 2>/dev/null || true
exit $rc
