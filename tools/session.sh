# Sourced by tools/pixlet.sh (bash) and tools/bench.sh (sh): what such a script starts and must
# end, also when it is interrupted (Ctrl+C, SIGTERM, hang-up): the command it waits for (ctest,
# a benchmark, Pixlet32 started by hand), the Wine server it keeps up, and its Xvfb display.
# Needs ROOT (the source tree). Installs the traps for EXIT, INT, TERM and HUP.
CHILD_PID="" XVFB_PID="" WINE_SERVED=""
end_children() {
  local rc=$?
  trap - EXIT INT TERM HUP
  if [ -n "$CHILD_PID" ]; then
    # ctest ends at once and leaves its running test alone; that test's wrapper is told by
    # the system that its parent is gone and ends its program and the Wine server.
    kill -TERM "$CHILD_PID" 2>/dev/null || true
    wait "$CHILD_PID" 2>/dev/null || true
  fi
  if [ -n "$WINE_SERVED" ]; then "$ROOT/tools/wine-env.sh" stop; fi
  if [ -n "$XVFB_PID" ]; then
    kill "$XVFB_PID" 2>/dev/null || true
    wait "$XVFB_PID" 2>/dev/null || true
  fi
  exit "$rc"
}
trap end_children EXIT
trap 'exit 130' INT
trap 'exit 143' TERM
trap 'exit 129' HUP

# Runs "$@" in the background and waits for it: a signal to this script is then handled at
# once rather than after the command. (A background command ignores Ctrl+C; end_children
# passes it on.)
run_child() {
  local rc=0
  "$@" &
  CHILD_PID=$!
  wait "$CHILD_PID" || rc=$?
  CHILD_PID=""
  return $rc
}

# Runs "$@" (a function of the script) on an Xvfb of its own, of PIXLET_SCREEN's geometry
# (default 1280x1024x24), ended afterwards. A display is used only by our Wine prefix, so that
# tests never see a stray window of another session. Xvfb takes the first free display number
# itself (-displayfd), so parallel runs never race.
in_xvfb() {
  local number rc=0
  number=$(mktemp)
  Xvfb -displayfd 9 -screen 0 "${PIXLET_SCREEN:-1280x1024x24}" -nolisten tcp 9>"$number" >/dev/null 2>&1 &
  XVFB_PID=$!
  while [ ! -s "$number" ]; do
    if ! kill -0 "$XVFB_PID" 2>/dev/null; then
      echo "Xvfb did not start" >&2; rm -f "$number"; XVFB_PID=""; return 1
    fi
    sleep 0.05
  done
  DISPLAY=:$(cat "$number")
  export DISPLAY
  rm -f "$number"
  "$@" || rc=$?
  kill "$XVFB_PID" 2>/dev/null || true
  wait "$XVFB_PID" 2>/dev/null || true
  XVFB_PID=""
  unset DISPLAY
  return $rc
}
