#!/usr/bin/env bash
# Builds the fuzz targets with clang, AddressSanitizer and
# UndefinedBehaviorSanitizer (in build-fuzz), then runs each target for the
# given number of seconds (default 30), several at once, starting from its
# seed corpus in fuzz/corpus. Fails when any target finds a crash, a
# sanitizer report, a failed check, a time-out or a memory blow-up; the
# finding and the log are kept and their folder is printed.
#
#     bash scripts/fuzz.sh                 # every target, 30 s each
#     bash scripts/fuzz.sh 3600 jpeg       # one target for an hour
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/deps.sh
seconds=${1:-30}
shift || true
dir=build-fuzz
cmake -S . -B "$dir" -G Ninja -DCMAKE_CXX_COMPILER=clang++ -DKESTROVA_FUZZ=ON \
    -DKESTROVA_TESTS=OFF -DKESTROVA_BENCH=OFF -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build "$dir" --target fuzz_targets --parallel "$(nproc)"

targets=("$@")
if [ ${#targets[@]} -eq 0 ]; then
    for corpus in fuzz/corpus/*/; do
        targets+=("$(basename "$corpus")")
    done
fi

work=$(mktemp -d)
export QT_QPA_PLATFORM=offscreen
# The toolkit keeps caches (fonts, pictures) for the whole process: a leak
# check per input would report them.
export ASAN_OPTIONS=detect_leaks=0
run() {
    local target=$1
    mkdir -p "$work/$target/corpus" "$work/$target/findings"
    # New inputs go into the scratch corpus; the seeds in the repository
    # are only read.
    if "$dir/bin/fuzz_$target" -max_total_time="$seconds" -timeout=10 -rss_limit_mb=2048 \
        -artifact_prefix="$work/$target/findings/" \
        "$work/$target/corpus" "fuzz/corpus/$target" >"$work/$target/log" 2>&1; then
        echo "$target: $(grep -o 'Done [0-9]* runs' "$work/$target/log" || echo done)"
    else
        echo "$target: FINDING" | tee "$work/$target/failed"
    fi
}
jobs_max=$(nproc)
for target in "${targets[@]}"; do
    while [ "$(jobs -rp | wc -l)" -ge "$jobs_max" ]; do
        wait -n || true
    done
    run "$target" &
done
wait
failed=0
for target in "${targets[@]}"; do
    if [ -e "$work/$target/failed" ]; then
        failed=1
        echo "---- $target (log and findings in $work/$target)"
        tail -n 40 "$work/$target/log"
        ls -l "$work/$target/findings"
    fi
done
[ "$failed" -eq 0 ] || exit 1
rm -rf "$work"
