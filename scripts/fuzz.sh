#!/usr/bin/env bash
# Builds the libFuzzer targets with clang into build-fuzz/ and runs each one
# briefly (QF_FUZZ_SECONDS, default 20). Exits non-zero when a target crashes.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
seconds=${QF_FUZZ_SECONDS:-20}
cmake -S "$root" -B "$root/build-fuzz" -G Ninja -DCMAKE_CXX_COMPILER=clang++ \
  -DQF_BUILD_FUZZ=ON -DQF_BUILD_TESTS=OFF -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build "$root/build-fuzz" --parallel "$(nproc)" --target rex_fuzz
corpus="$root/build-fuzz/corpus-rex"
mkdir -p "$corpus"
echo "fuzz: rex_fuzz for ${seconds}s"
"$root/build-fuzz/fuzz/rex_fuzz" -max_total_time="$seconds" -max_len=512 -print_final_stats=0 \
  "$corpus" 2>"$root/build-fuzz/rex_fuzz.log" || {
  tail -n 40 "$root/build-fuzz/rex_fuzz.log" >&2
  echo "fuzz: rex_fuzz found a crash" >&2
  exit 1
}
echo "fuzz: rex_fuzz ran ${seconds}s without a crash"
