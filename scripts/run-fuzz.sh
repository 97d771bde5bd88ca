#!/usr/bin/env bash
# Runs libFuzzer targets: `run-fuzz.sh BUILD_DIR SECONDS TARGET...`. Each target starts from the
# seeds in fuzz/corpus/<target>/ (read only) and writes the inputs it finds to a temporary
# folder, so the repository never changes. A crashing input is kept under
# BUILD_DIR/fuzz-artifacts/ and ends the run with a failure.
set -euo pipefail
cd "$(dirname "$0")/.."
build="$1" seconds="$2"
shift 2
artifacts="$PWD/$build/fuzz-artifacts"
mkdir -p "$artifacts"
work="$(mktemp -d /tmp/vistrela-fuzz.XXXXXX)"
trap 'rm -rf "$work"' EXIT
export ASAN_OPTIONS="detect_leaks=1:abort_on_error=1${ASAN_OPTIONS:+:$ASAN_OPTIONS}"
export UBSAN_OPTIONS="print_stacktrace=1:halt_on_error=1${UBSAN_OPTIONS:+:$UBSAN_OPTIONS}"

status=0
for target in "$@"; do
  mkdir -p "$work/$target"
  options=""
  # The ini reader reads its file with a 16 MB buffer on every lookup; poisoning and unpoisoning
  # that much shadow memory per lookup makes the target ~100 times slower (2 inputs a second).
  # Heap poisoning is off for it; the library's bounds assertions (_GLIBCXX_ASSERTIONS) and
  # UBSan still catch reads outside the text.
  [ "$target" = ini ] && options="poison_heap=0"
  dict=()
  [ -f "fuzz/$target.dict" ] && dict=(-dict="fuzz/$target.dict")
  echo "== fuzz_$target for ${seconds}s"
  if ! ASAN_OPTIONS="$ASAN_OPTIONS${options:+:$options}" "$build/fuzz_$target" -max_total_time="$seconds" -timeout=10 -rss_limit_mb=2048 \
      -print_final_stats=1 "${dict[@]}" -artifact_prefix="$artifacts/$target-" \
      "$work/$target" "fuzz/corpus/$target" >"$work/$target.log" 2>&1; then
    tail -n 60 "$work/$target.log"
    echo "FAIL: fuzz_$target; the input is in $artifacts/" >&2
    status=1
    continue
  fi
  grep -E '^stat::(number_of_executed_units|new_units_added)|^#[0-9]+.*DONE' "$work/$target.log" || true
done
exit $status
