#!/bin/sh
# Does the test suite notice a deliberate fault? Applies one patch to the
# sources, rebuilds the engine and the test binary, runs the tests and
# prints the names of those that fail, then takes the patch back out.
#   tools/fault_check.sh FAULT.patch [GTEST_FILTER] [BUILD_DIR]
# Run from the repository root on a configured test build (make tests).
# Never commit a fault: the patch is reverted even when the run is cut short.
set -u
patch=$1
filter=${2:-*}
build=${3:-build}
limit=${FAULT_TIME_LIMIT:-900}   # seconds; a fault can make a search run on

git apply --check "$patch" || exit 2
git apply "$patch"
trap 'git apply -R "$patch"' EXIT INT TERM

if ! cmake --build "$build" --target zerv zerv_tests -j "${JOBS:-2}" >/dev/null 2>&1; then
  echo "BUILD FAILED"
  exit 1
fi
out=$(timeout "$limit" "./$build/zerv_tests" --gtest_brief=1 --gtest_filter="$filter" 2>&1)
status=$?
failed=$(printf '%s\n' "$out" | sed -n 's/^\[  FAILED  \] \([A-Za-z0-9_/.]*\)\( (.*)\)\{0,1\}$/\1/p' | sort -u)
[ "$status" -eq 124 ] && echo "TIMED OUT after ${limit}s"
if [ -n "$failed" ]; then
  printf '%s\n' "$failed"
elif [ "$status" -ne 0 ]; then
  echo "CRASHED (exit $status)"
else
  echo "NOT CAUGHT"
fi
