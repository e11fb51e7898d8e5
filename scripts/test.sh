#!/usr/bin/env bash
# Installs what is missing, builds everything with warnings as errors and runs all tests.
set -euo pipefail
cd "$(dirname "$0")/.."
. scripts/deps.sh
impmap_install_deps
cmake -S . -B build -G Ninja -DIMPMAP_WERROR=ON
cmake --build build -j "$(nproc)"
QT_QPA_PLATFORM=offscreen ctest --test-dir build --output-on-failure -j "$(nproc)"
