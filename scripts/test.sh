#!/usr/bin/env bash
# Installs what is needed, builds Varnel twice (GCC, and clang with
# AddressSanitizer + UndefinedBehaviorSanitizer + the fuzz targets) and runs
# every test of both builds, including a bounded run of each fuzz target, and
# the format check.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/install-deps.sh
jobs=$(nproc)

echo "== format check"
git ls-files -- '*.cpp' '*.h' | xargs -r clang-format --dry-run --Werror

echo "== GCC build and tests"
cmake --preset default
cmake --build --preset default -j "$jobs"
ctest --preset default -j "$jobs"

echo "== sanitizer build and tests (clang, ASan + UBSan, fuzzers)"
cmake --preset asan
cmake --build --preset asan -j "$jobs"
ctest --preset asan -j "$jobs"
