#!/usr/bin/env bash
# Fails when a tracked C++ file differs from .clang-format (clang-format 14:
# other versions format differently).
set -euo pipefail
cd "$(dirname "$0")/.."
git ls-files -z '*.cpp' '*.h' | xargs -0 clang-format-14 --dry-run --Werror
