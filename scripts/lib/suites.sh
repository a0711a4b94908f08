# shellcheck shell=bash
# Sourced by test.sh and windows.sh: each suite's result is noted as it ends,
# and the summary at the end gives one line a suite (tests passed, failed
# and skipped, or NOT RUN and why), then the totals alone on the last line.
#
# The results are kept in $RASTREX_CI_STATE/suites, one line a suite:
# NAME<TAB>ran|notrun|broken<TAB>PASSED<TAB>FAILED<TAB>SKIPPED<TAB>NOTE.
# suite_begin makes that folder unless the calling script's caller did, in
# which case the caller gives the summary (suite_owner=0).

suite_begin() {
  suite_owner=0
  if [ -z "${RASTREX_CI_STATE:-}" ]; then
    RASTREX_CI_STATE=$(mktemp -d)
    export RASTREX_CI_STATE
    suite_owner=1
  fi
  touch "$RASTREX_CI_STATE/suites"
}

# Removes the folder of the results if this script made it.
suite_end() {
  [ "${suite_owner:-0}" = 0 ] || rm -rf "$RASTREX_CI_STATE"
}

suite_note() {
  printf '%s\t%s\t%s\t%s\t%s\t%s\n' "$@" >>"$RASTREX_CI_STATE/suites"
}

# A suite that did not run for want of something: not a failure.
suite_not_run() {
  echo "== $1: NOT RUN: $2"
  suite_note "$1" notrun 0 0 0 "$2"
}

# A suite that could not be built or run: it counts as one failed test.
suite_broken() {
  echo "== $1: FAILED: $2" >&2
  suite_note "$1" broken 0 1 0 "$2"
}

# The value of attribute NAME of the test suite in ctest's JUnit file.
suite_junit_count() {
  local value
  value=$(sed -n "s/^[[:space:]]*$1=\"\\([0-9]*\\)\".*/\\1/p;T;q" "$2")
  echo "${value:-0}"
}

# suite_ctest NAME BUILD_DIR [NOTE [CTEST_ARGUMENT...]]: runs the tests of
# BUILD_DIR and notes how many passed, failed and were skipped.
suite_ctest() {
  local name=$1 dir=$2 note=${3:-} junit status=0
  shift 2
  [ $# -eq 0 ] || shift
  junit="$RASTREX_CI_STATE/junit-${name//[^A-Za-z0-9]/_}.xml"
  rm -f "$junit"
  ctest --test-dir "$dir" --output-on-failure -j"${jobs:-2}" --output-junit "$junit" "$@" || status=$?
  if [ ! -f "$junit" ]; then
    suite_broken "$name" "ctest wrote no results (it exited $status)"
    return 1
  fi
  local tests failed skipped
  tests=$(suite_junit_count tests "$junit")
  failed=$(suite_junit_count failures "$junit")
  skipped=$(($(suite_junit_count skipped "$junit") + $(suite_junit_count disabled "$junit")))
  # ctest failing with no test failed (a test it could not start, say).
  if [ "$status" -ne 0 ] && [ "$failed" -eq 0 ]; then
    failed=1
    note="${note:+$note; }ctest exited $status"
  fi
  suite_note "$name" ran $((tests - failed - skipped)) "$failed" "$skipped" "$note"
  [ "$failed" -eq 0 ]
}

# suite_build NAME BUILD_DIR CMAKE_ARGUMENT...: configures and builds;
# where that fails, suite NAME is noted as failed.
suite_build() {
  local name=$1 dir=$2
  shift 2
  echo "== $name ($dir)"
  if ! cmake -S . -B "$dir" "$@"; then
    suite_broken "$name" "cmake could not configure $dir"
    return 1
  fi
  if ! cmake --build "$dir" -j"${jobs:-2}"; then
    suite_broken "$name" "$dir did not build"
    return 1
  fi
}

# suite_cmake NAME BUILD_DIR CMAKE_ARGUMENT...: builds, then runs the tests.
suite_cmake() {
  suite_build "$@" && suite_ctest "$1" "$2"
}

# suite_summary NAME...: one line for each suite named, in that order (a
# suite with no result is one its script never reached: a failure), then
# the totals. Fails when any test failed.
suite_summary() {
  local name line status passed failed skipped note
  local all_passed=0 all_failed=0 all_skipped=0
  echo
  echo "=============================== Summary ==============================="
  for name in "$@"; do
    line=$(grep -m1 "^$name	" "$RASTREX_CI_STATE/suites" || true)
    if [ -z "$line" ]; then
      line="$name	broken	0	1	0	its script stopped before it (see above)"
    fi
    IFS=$'\t' read -r name status passed failed skipped note <<<"$line"
    all_passed=$((all_passed + passed))
    all_failed=$((all_failed + failed))
    all_skipped=$((all_skipped + skipped))
    case "$status" in
      notrun) printf '%-20s NOT RUN: %s\n' "$name" "$note" ;;
      broken) printf '%-20s FAILED: %s (counted as 1 failed)\n' "$name" "$note" ;;
      *) printf '%-20s %s passed, %s failed, %s skipped%s\n' "$name" "$passed" "$failed" "$skipped" \
        "${note:+ ($note)}" ;;
    esac
  done
  echo "======================================================================="
  echo "$all_passed passed, $all_failed failed, $all_skipped skipped"
  [ "$all_failed" -eq 0 ]
}
