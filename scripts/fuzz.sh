#!/usr/bin/env bash
# Builds the libFuzzer targets with clang into build-fuzz/ and runs each one
# for QF_FUZZ_SECONDS (default 10), or only the targets named as arguments.
# Each run starts from the seeds in fuzz/corpus/<target>/ and keeps what it
# finds in build-fuzz/corpus/<target>/. Stops at the first crash, hang or
# leak, printing the log's end and the reproducer's path; exits non-zero then.
# EUC-JP files are not yet recognised by the text reader: once they are,
# decode_fuzz reaches them through its file step and needs only an EUC-JP seed.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
seconds=${QF_FUZZ_SECONDS:-10}
build="$root/build-fuzz"
all=(rex_fuzz config_fuzz ix_fuzz record_fuzz decode_fuzz escapes_fuzz qf_args_fuzz rtf_fuzz
     pdf_fuzz epwing_fuzz)
targets=("$@")
((${#targets[@]})) || targets=("${all[@]}")

cmake -S "$root" -B "$build" -G Ninja -DCMAKE_CXX_COMPILER=clang++ \
  -DQF_BUILD_FUZZ=ON -DQF_BUILD_TESTS=OFF -DQF_BUILD_GUI=OFF -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  ${QF_FUZZ_CMAKE_ARGS:-} >/dev/null
cmake --build "$build" --parallel "$(nproc)" --target "${targets[@]}"

for target in "${targets[@]}"; do
  corpus="$build/corpus/$target"
  crashes="$build/crashes/$target"
  log="$build/$target.log"
  mkdir -p "$corpus" "$crashes"
  max_len=4096
  [[ $target == rex_fuzz ]] && max_len=512  # longer patterns only backtrack longer
  echo "fuzz: $target for ${seconds}s"
  if ! "$build/fuzz/$target" -max_total_time="$seconds" -max_len="$max_len" -timeout=10 \
    -print_final_stats=1 -artifact_prefix="$crashes/" "$corpus" "$root/fuzz/corpus/$target" \
    >"$log" 2>&1; then
    tail -n 40 "$log" >&2
    reproducer=$(ls -t "$crashes" | head -n 1)
    echo "fuzz: $target failed; reproducer: $crashes/$reproducer" >&2
    echo "fuzz: rerun it with $build/fuzz/$target $crashes/$reproducer" >&2
    exit 1
  fi
  runs=$(sed -n 's/^stat::number_of_executed_units: *//p' "$log")
  echo "fuzz: $target ran ${seconds}s, ${runs:-?} inputs, no crash"
done
