#!/usr/bin/env bash
# Builds the whole test suite with AddressSanitizer and UndefinedBehaviorSanitizer
# (g++, QF_SANITIZE=ON) into build-asan/ and runs it. The desktop program is
# left out: Qt and its plugins are not built with the sanitizers. Any memory error, leak or
# undefined behaviour fails its test; time bounds in the tests scale up there.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build="$root/build-asan"
start=$SECONDS
cmake -S "$root" -B "$build" -G Ninja -DQF_SANITIZE=ON -DQF_BUILD_GUI=OFF -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  ${QF_CMAKE_ARGS:-} >/dev/null
cmake --build "$build" --parallel "$(nproc)"
export ASAN_OPTIONS=${ASAN_OPTIONS:-detect_leaks=1}
export UBSAN_OPTIONS=${UBSAN_OPTIONS:-print_stacktrace=1:halt_on_error=1}
(cd "$build" && ctest --output-on-failure --parallel "$(nproc)" --timeout 1200)
echo "sanitize: build and tests took $((SECONDS - start))s"
