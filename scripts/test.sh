#!/usr/bin/env bash
# Installs what is needed, builds, and runs every test (headless, on the
# virtual clock). With --sanitize: the same in a separate build with
# AddressSanitizer and UndefinedBehaviorSanitizer.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/deps.sh
dir=build
args=()
if [ "${1:-}" = "--sanitize" ]; then
    dir=build-sanitize
    args=(-DKESTROVA_SANITIZE=ON -DKESTROVA_BENCH=OFF -DCMAKE_BUILD_TYPE=Debug)
fi
bash scripts/build.sh "$dir" "${args[@]}"
export QT_QPA_PLATFORM=offscreen
ctest --test-dir "$dir" --output-on-failure --parallel "$(nproc)" --timeout 60
