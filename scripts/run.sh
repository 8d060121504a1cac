#!/usr/bin/env bash
# Installs what is needed, builds, and starts the workbench on the simulated
# measurement interface.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/deps.sh
bash scripts/build.sh build
cd build/bin
INTERFACE_MESURE=simulateur ./Kestrova "$@"
