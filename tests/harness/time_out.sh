#!/bin/sh
# The harness itself: a test killed at its time-out keeps its output and leaves nothing that
# the next test would trip over.
#   time_out.sh WINE_ENV E2E_TESTS_EXE
# A stuck end-to-end case (it starts Pixlet32 and a Pixlet64.exe reader, then waits for ever) is
# run as ctest runs a test, its output read through a pipe, and killed as ctest kills a test at
# its time-out: the process and all its descendants, stopped then killed. Its output must have
# come through the pipe before, and nothing may hold the pipe after. Then a normal case must
# pass, having ended both programs left running, and no process of the run may be left.
set -u
WINE_ENV=$1
E2E=$2
: "${BUILD_DIR:=$(cd "$(dirname "$0")/../.." && pwd)/build}"
: "${WINEPREFIX:=$BUILD_DIR/wineprefix}"
work=$(mktemp -d)
fail() { echo "FAILED: $*"; exit 1; }

children() {  # pid: its children, by parent id (as ctest finds them)
  parent=$1
  for stat in /proc/[0-9]*/stat; do
    read -r line 2>/dev/null <"$stat" || continue
    set -- ${line##*) }  # past the command name: state, parent id, ...
    [ "$2" = "$parent" ] && { pid=${stat#/proc/}; echo "${pid%/stat}"; }
  done
}
tree() {  # pid and all its descendants
  echo "$1"
  for child in $(children "$1"); do tree "$child"; done
}
# Processes of this Wine prefix whose command line names one of the words given.
prefix_processes() {
  for environ in /proc/[0-9]*/environ; do
    dir=${environ%/environ}
    tr '\0' '\n' 2>/dev/null <"$environ" | grep -qxF "WINEPREFIX=$WINEPREFIX" || continue
    read -r state 2>/dev/null <"$dir/stat" || continue
    case ${state##*) } in Z*) continue ;; esac  # ended, not yet reaped
    command=$(tr '\0' ' ' 2>/dev/null <"$dir/cmdline")
    case $command in *harness/time_out.sh*) continue ;; esac  # this script names them too
    for word in "$@"; do
      case $command in *"$word"*) echo "${dir#/proc/} $command"; break ;; esac
    done
  done
}

# A failure leaves nothing running either.
finish() {
  for pid in $(prefix_processes Pixlet32.exe Pixlet64.exe e2e_tests.exe | cut -d' ' -f1); do kill -KILL "$pid"; done
  rm -rf "$work"
}
trap finish EXIT

mkfifo "$work/pipe"
cat "$work/pipe" >"$work/stuck.out" &
reader=$!
PIXLET_HARNESS_STUCK=1 "$WINE_ENV" run "$E2E" --gtest_filter=Harness.StuckWithPixletRunning >"$work/pipe" 2>&1 &
stuck=$!
waited=0
until grep -q "Stuck with Pixlet32 and Pixlet64 running" "$work/stuck.out"; do
  [ $waited -lt 300 ] && kill -0 $stuck 2>/dev/null || break
  sleep 0.1
  waited=$((waited + 1))
done
# ctest's time-out.
victims=$(tree $stuck)
kill -STOP $victims 2>/dev/null
kill -KILL $victims 2>/dev/null
echo "--- output of the stuck case, killed after $((waited / 10)) s:"
cat "$work/stuck.out"
echo "---"
grep -q "Stuck with Pixlet32 and Pixlet64 running" "$work/stuck.out" ||
  fail "the stuck case's output did not come through before it was killed"
waited=0
while kill -0 $reader 2>/dev/null; do
  [ $waited -lt 50 ] || fail "something still holds the killed test's output pipe"
  sleep 0.1
  waited=$((waited + 1))
done
for exe in Pixlet32.exe Pixlet64.exe; do
  [ -n "$(prefix_processes $exe)" ] || fail "the stuck case left no $exe running: nothing was tested"
done

"$WINE_ENV" run "$E2E" --gtest_filter=TrayShell.SecondStartEndsAtOnceWithoutWindowOrRegistryAndTheFirstRuns \
  >"$work/next.out" 2>&1
rc=$?
echo "--- output of the next case:"
cat "$work/next.out"
echo "---"
[ $rc -eq 0 ] || fail "the case after the stuck one failed (exit $rc)"
grep -q "Ended 2 Pixlet32.exe or Pixlet64.exe left running" "$work/next.out" ||
  fail "the next case did not end the Pixlet32 and the Pixlet64 left running"

left=$(prefix_processes Pixlet32.exe Pixlet64.exe e2e_tests.exe "wine-env.sh _run" "tail -n +1")
[ -z "$left" ] || fail "left running: $left"
echo "passed"
