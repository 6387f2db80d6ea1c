#!/usr/bin/env bash
# Fails when clang-format would change a tracked C++ file.
set -euo pipefail
cd "$(dirname "$0")/.."
git ls-files -z '*.cpp' '*.h' | xargs -0 clang-format --dry-run --Werror
