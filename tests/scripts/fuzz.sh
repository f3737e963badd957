#!/usr/bin/env bash
# Fuzzes the bitmap decoder with libFuzzer for the given number of seconds (default 30),
# starting from the test samples. Fails on any crash, leak or sanitizer report; the
# input that caused it is left in build-fuzz/. Skips when clang's fuzzer is missing.
# libFuzzer's own output (its progress, final statistics and suggested dictionary)
# goes to build-fuzz/fuzz.log; what is shown is one line: inputs run, seconds,
# findings, and on a finding the sanitizer's report as well.
set -euo pipefail
seconds=${1:-30}
root=$(cd "$(dirname "$0")/../.." && pwd)
out=$root/build-fuzz
mkdir -p "$out/corpus"

if ! command -v clang++ >/dev/null; then
    echo "clang++ not found: skipping the fuzzer (tools/deps.sh test installs it)."
    exit 0
fi
probe=$out/probe.cpp
echo 'extern "C" int LLVMFuzzerTestOneInput(const unsigned char*, unsigned long) { return 0; }' >"$probe"
if ! clang++ -fsanitize=fuzzer "$probe" -o "$out/probe" 2>/dev/null; then
    echo "clang++ cannot build fuzzers here (libFuzzer runtime missing): skipping the fuzzer."
    exit 0
fi

flags=(-std=c++17 -g -O1 -Wall -Wextra -Werror -ffp-contract=off -I"$root")
# The decoder and the loader, with this system's file mapping only.
decoder=()
for f in "$root"/image/*.cpp; do
    [[ $f =~ \.([a-z0-9]+)\.cpp$ && ${BASH_REMATCH[1]} != posix ]] || decoder+=("$f")
done
clang++ "${flags[@]}" -DFUZZING_BUILD_MODE_UNSAFE_FOR_PRODUCTION \
    -fsanitize=fuzzer,address,undefined -fno-sanitize-recover=all \
    "${decoder[@]}" "$root/tests/image/BmpFuzz.cpp" -o "$out/bmp_fuzz"

# The decoder reports every refusal on standard error; -close_fd_mask=2 keeps that
# quiet while crash reports still get through.
log=$out/fuzz.log
status=0
"$out/bmp_fuzz" -max_total_time="$seconds" -close_fd_mask=2 -print_final_stats=1 \
    -artifact_prefix="$out/" "$out/corpus" "$root/tests/image/seeds" >"$log" 2>&1 || status=$?

# "Done 123456 runs in 31 second(s)" ends a run without findings; the final
# statistics count the inputs in either case.
runs=$(sed -n 's/^stat::number_of_executed_units: *//p' "$log" | tail -n 1)
took=$(sed -n 's/^Done [0-9]* runs in \([0-9]*\) second.*/\1/p' "$log" | tail -n 1)
findings=$(sed -n 's/.*Test unit written to \(.*\)$/\1/p' "$log")
if [ "$status" -eq 0 ] && [ -z "$findings" ]; then
    echo "fuzz: ${runs:-?} inputs in ${took:-$seconds} s, no findings (log: $log)"
    exit 0
fi
# The report of the fault, from its first line to its summary.
awk '/^==[0-9]+==|runtime error:/ { shown = 1 } shown { print } shown && /^SUMMARY:/ { exit }' "$log" >&2
echo "fuzz: ${runs:-?} inputs, FINDINGS (status $status): ${findings:-none written}" \
    "(log: $log)" >&2
exit 1
