#!/usr/bin/env bash
# Installs what is needed, builds the oscilloscope, and starts it on the
# simulated measurement interface.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/deps.sh
cmake -S . -B build -G Ninja >/dev/null
cmake --build build --target Trevalume1 --parallel "$(nproc)"
cd build/bin
INTERFACE_MESURE=simulateur ./Trevalume1 "$@"
