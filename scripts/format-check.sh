#!/usr/bin/env bash
# Fails when a C++ file of the repository is not formatted as .clang-format says; `clang-format -i
# FILE` formats one. Uses Debian's clang-format, installed when missing.
set -euo pipefail
cd "$(dirname "$0")/.."
. scripts/deps.sh
impmap_install_deps clang-format
git ls-files -z '*.cpp' '*.h' | xargs -0 clang-format --dry-run -Werror
echo "format-check: $(git ls-files '*.cpp' '*.h' | wc -l) files formatted"
