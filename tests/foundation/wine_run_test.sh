#!/usr/bin/env bash
# The Wine harness passes arguments and output through, returns the program's exit code, and
# serves concurrent callers. Usage: wine_run_test.sh WINE_RUN EXIT_PROBE_EXE
set -u
wine_run=$1 probe=$2
failures=0
fail() { echo "FAIL: $*"; failures=$((failures + 1)); }

for code in 0 1 7 100; do
  "$wine_run" "$probe" "$code" >/dev/null 2>&1
  rc=$?
  [[ $rc == "$code" ]] || fail "exit code $code came back as $rc"
done

out=$("$wine_run" "$probe" 0 "two words" "x\"y" 2>/dev/null)
expected=$'0\ntwo words\nx"y'
[[ ${out//$'\r'/} == "$expected" ]] || fail "arguments or output changed: [$out]"

# Concurrent callers each get their own exit code.
pids=()
for code in 3 4 5 6; do
  "$wine_run" "$probe" "$code" >/dev/null 2>&1 &
  pids+=("$!:$code")
done
for entry in "${pids[@]}"; do
  wait "${entry%%:*}"
  rc=$?
  [[ $rc == "${entry#*:}" ]] || fail "concurrent call: exit code ${entry#*:} came back as $rc"
done

# A program that does not exist is a failure, never a success.
"$wine_run" "$(dirname "$probe")/no-such-program.exe" >/dev/null 2>&1 && fail "a missing program reported success"

((failures == 0)) && echo "wine-run: all checks passed"
exit $((failures > 0))
