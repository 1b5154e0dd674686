#!/usr/bin/env bash
# Usage: with-xvfb.sh COMMAND [ARG...]
# Runs COMMAND with DISPLAY on a private Xvfb server that starts before it and ends with it,
# so window tests neither need a desktop nor share one. COMMAND's output and errors both come
# out on standard output, or its errors go to the file XVFB_COMMAND_STDERR names, if set (where
# Wine writes its debug channels, the relay trace among them); the script exits with COMMAND's
# exit code.
set -u

tmp=$(mktemp -d "${TMPDIR:-/tmp}/with-xvfb.XXXXXX") || exit 125
xvfb_pid=""
command_pid=""
tail_pid=""
cleanup() {
  # Interrupted: the command goes first, then its display.
  [ -n "$command_pid" ] && kill "$command_pid" 2>/dev/null
  [ -n "$tail_pid" ] && kill "$tail_pid" 2>/dev/null
  if [ -n "$xvfb_pid" ]; then
    kill "$xvfb_pid" 2>/dev/null
    # Bounded: a server that ignores TERM is killed outright after two seconds.
    for _ in $(seq 40); do kill -0 "$xvfb_pid" 2>/dev/null || break; sleep 0.05; done
    kill -KILL "$xvfb_pid" 2>/dev/null
    wait "$xvfb_pid" 2>/dev/null
  fi
  rm -rf "$tmp"
}
trap cleanup EXIT
trap 'exit 130' INT
trap 'exit 143' TERM

# Xvfb picks a free display itself and writes its number to the descriptor once it accepts clients.
Xvfb -displayfd 3 -screen 0 1280x1024x24 -nolisten tcp 3>"$tmp/display" >"$tmp/xvfb.log" 2>&1 &
xvfb_pid=$!

display=""
for _ in $(seq 200); do  # at most 10 s
  display=$(head -n 1 "$tmp/display" 2>/dev/null)
  [ -n "$display" ] && break
  if ! kill -0 "$xvfb_pid" 2>/dev/null; then break; fi
  sleep 0.05
done
if [ -z "$display" ]; then
  echo "with-xvfb.sh: Xvfb did not start" >&2
  cat "$tmp/xvfb.log" >&2
  exit 125
fi

export DISPLAY=":$display"
# The command's output goes through a file: background processes it leaves behind (Wine's
# server and desktop linger a second or so) then hold that file open, not our caller's pipe,
# which a caller such as CTest reads until every writer has closed it.
: >"$tmp/output"  # there before tail looks for it
if [ -n "${XVFB_COMMAND_STDERR:-}" ]; then
  "$@" >>"$tmp/output" 2>"$XVFB_COMMAND_STDERR" </dev/null &
else
  "$@" >>"$tmp/output" 2>&1 </dev/null &
fi
command_pid=$!
# In the background too: a signal to this script is handled at once, not after the command.
tail -n +1 -s 0.1 -f --pid="$command_pid" "$tmp/output" &
tail_pid=$!
wait "$command_pid"
status=$?
command_pid=""
wait "$tail_pid"  # it prints what is left, then ends, as the command has
tail_pid=""
exit "$status"
