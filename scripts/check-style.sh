#!/usr/bin/env bash
# Fails when a C++ file of ours is not formatted as .clang-format says, or when clang-tidy
# (.clang-tidy) warns about our code. Needs a configured build for its compile database.
# Usage: scripts/check-style.sh [--format-only] [BUILD_DIR]   (default build/release)
set -euo pipefail
cd "$(dirname "$0")/.."
format_only=false
if [[ ${1:-} == --format-only ]]; then
  format_only=true
  shift
fi
build=${1:-build/release}

echo "== clang-format"
git ls-files -z '*.cpp' '*.h' | xargs -0 clang-format --dry-run -Werror
$format_only && exit 0

# The product code; the headers it includes are checked with it (HeaderFilterRegex). Every
# warning counts as an error; clang-tidy's own output is shown only when it fails.
echo "== clang-tidy"
mapfile -t sources < <(git ls-files '*.cpp' | grep -vE '^(tests|fuzz|bench)/')
log=$(mktemp)
trap 'rm -f "$log"' EXIT
if ! printf '%s\0' "${sources[@]}" |
  xargs -0 -P "$(nproc)" -n 4 clang-tidy -p "$build" --quiet --warnings-as-errors='*' >"$log" 2>&1; then
  grep -vE '^[0-9]+ warnings? (and [0-9]+ errors? )?generated\.$' "$log" >&2
  echo "clang-tidy: $(grep -cE '(warning|error):' "$log") findings" >&2
  exit 1
fi
echo "clang-tidy: ${#sources[@]} files, no findings"
