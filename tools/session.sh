# Sourced by tools/pixlet.sh (bash) and tools/bench.sh (sh): what such a script starts and must
# end, also when it is interrupted (Ctrl+C, SIGTERM, hang-up): the command it waits for (ctest,
# a benchmark, Pixlet32 started by hand), the Wine server it keeps up, and its Xvfb display (with
# the Xephyr inside it that makes several monitors).
# Needs ROOT (the source tree). Installs the traps for EXIT, INT, TERM and HUP.
CHILD_PID="" XVFB_PID="" XEPHYR_PID="" WINE_SERVED=""
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
  stop_x
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

# Starts an X server ("$@", which takes -displayfd) in the background and waits until it takes
# connections: its pid in X_PID, its display in X_DISPLAY. The server picks the first free
# display number itself (-displayfd), so parallel runs never race.
start_x() {
  local number
  number=$(mktemp)
  "$@" -displayfd 9 9>"$number" >/dev/null 2>&1 &
  X_PID=$!
  while [ ! -s "$number" ]; do
    if ! kill -0 "$X_PID" 2>/dev/null; then
      echo "$1 did not start" >&2; rm -f "$number"; X_PID=""; return 1
    fi
    sleep 0.05
  done
  X_DISPLAY=:$(cat "$number")
  rm -f "$number"
}

# Ends the displays in_xvfb started, the inner one first.
stop_x() {
  local pid
  for pid in "$XEPHYR_PID" "$XVFB_PID"; do
    [ -n "$pid" ] || continue
    kill "$pid" 2>/dev/null || true
    wait "$pid" 2>/dev/null || true
  done
  XEPHYR_PID="" XVFB_PID=""
}

# Runs "$@" (a function of the script) on an Xvfb of its own, of PIXLET_SCREEN's geometry
# (default 1280x1024x24), ended afterwards. A display is used only by our Wine prefix, so that
# tests never see a stray window of another session.
# With PIXLET_MONITORS ("1024x768 800x600": one size a monitor, laid out left to right from
# (0, 0), the first the primary one) it runs on an Xephyr inside that Xvfb instead: Xephyr with
# Xinerama and without RandR is the display on which Wine sees several monitors (plain Xvfb
# gives it one). The Xvfb must be large enough to hold Xephyr's windows side by side.
in_xvfb() {
  local rc=0 size screens=""
  start_x Xvfb -screen 0 "${PIXLET_SCREEN:-1280x1024x24}" -nolisten tcp || return 1
  XVFB_PID=$X_PID
  DISPLAY=$X_DISPLAY
  export DISPLAY
  if [ -n "${PIXLET_MONITORS:-}" ]; then
    for size in $PIXLET_MONITORS; do screens="$screens -screen $size"; done
    # shellcheck disable=SC2086
    if ! start_x Xephyr +xinerama -extension RANDR $screens -nolisten tcp; then
      stop_x; unset DISPLAY; return 1
    fi
    XEPHYR_PID=$X_PID
    DISPLAY=$X_DISPLAY
  fi
  "$@" || rc=$?
  stop_x
  unset DISPLAY
  return $rc
}
