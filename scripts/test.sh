#!/usr/bin/env bash
# Installs what is missing, then builds and runs every test: a short bounded run of the fuzz
# target, the whole suite under AddressSanitizer and UndefinedBehaviorSanitizer, and last the
# whole suite built with warnings as errors.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh --tests
jobs=$(nproc)

fuzz/run.sh -runs=200000

cmake --preset sanitize
cmake --build --preset sanitize -j"$jobs"
ctest --preset sanitize -j"$jobs"

cmake --preset ci
cmake --build --preset ci -j"$jobs"
ctest --preset ci -j"$jobs"
