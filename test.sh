#!/usr/bin/env bash
# Installs what is missing, checks formatting and lint, then builds and runs every test twice:
# once as released and once under AddressSanitizer and UndefinedBehaviorSanitizer; then the
# threaded suites under ThreadSanitizer; last, fuzzes.
set -euo pipefail
cd "$(dirname "$0")"
source scripts/install-deps.sh
zu_install_missing_packages

# The independent SWF parser the tests check every written file with.
(cd tests/oracle && npm ci --no-audit --no-fund --loglevel=error)
# playwright-core for the web editor's browser tests (it drives Debian's chromium; no download).
(cd tests/studio && npm ci --no-audit --no-fund --loglevel=error)
# Ruffle's web build, an independent SWF player, for the pointer check in the same browser.
(cd tests/ruffle && npm ci --no-audit --no-fund --loglevel=error)

echo "== format"
scripts/check-style.sh --format-only

# The page's and the JavaScript tests' lint and layout: ESLint, pinned by package-lock.json
# at the root, with the rules of eslint.config.mjs.
echo "== JavaScript lint"
npm ci --no-audit --no-fund --loglevel=error
npx --no-install eslint --max-warnings 0

jobs=$(nproc)
run_suite() {
  local dir=$1
  shift
  cmake -S . -B "$dir" "$@" >/dev/null
  cmake --build "$dir" -j"$jobs"
  (cd "$dir" && ctest --output-on-failure -j"$jobs" --timeout 900)
}

echo "== release build"
run_suite build/release -DCMAKE_BUILD_TYPE=RelWithDebInfo -DZU_BUILD_BENCH=ON
echo "== lint (clang-tidy over the product code, with the release build's compile commands)"
scripts/check-style.sh build/release
echo "== sanitizer build (ASan + UBSan)"
# intercept_tls_get_addr=0: gcc 12's leak checker misreads a dynamic TLS block that the
# libraries fmredit loads for H.264 export leave behind, and crashes ("Tracer caught signal 11")
# at exit; without the interception it scans static TLS only.
export ASAN_OPTIONS=detect_leaks=1:abort_on_error=1:intercept_tls_get_addr=0
export LSAN_OPTIONS=suppressions=$PWD/scripts/lsan-suppressions.txt
export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1
run_suite build/asan -DCMAKE_BUILD_TYPE=Debug -DZU_SANITIZE=ON -DZU_BUILD_BENCH=OFF
echo "== thread sanitizer (the suites whose code starts threads)"
run_tsan() {
  local dir=build/tsan
  # The project store's hashing, the screen capture's read-ahead, video export and import,
  # the PNG writer pool (render --all) and the editor's server, through the tests that run
  # them (most in an fmredit the tests start). A race anywhere leaves a report and fails.
  local tests='ProjectVersionsTest|ProjectEdits|FmreditRecord|ScreenCapture|ExportTest|MediaTest'
  tests+='|studio[.]server'
  cmake -S . -B "$dir" -DCMAKE_BUILD_TYPE=Debug -DZU_TSAN=ON -DZU_BUILD_BENCH=OFF >/dev/null
  cmake --build "$dir" -j"$jobs" --target fmredit make_demo_frames add_test_pointer test_app test_cli \
    test_media
  rm -f "$dir"/tsan-report.*
  local options="log_path=$PWD/$dir/tsan-report halt_on_error=1"
  options+=" suppressions=$PWD/scripts/tsan-suppressions.txt"
  local failed=0
  (cd "$dir" && TSAN_OPTIONS=$options ctest --output-on-failure -j"$jobs" --timeout 900 -R "$tests") ||
    failed=1
  if compgen -G "$dir/tsan-report.*" >/dev/null; then
    cat "$dir"/tsan-report.*
    failed=1
  fi
  return $failed
}
run_tsan
echo "== fuzzing (every libFuzzer target for a fixed number of inputs from a fixed seed)"
ZU_FUZZ_RUNS=6000 scripts/run-fuzz.sh
