#!/usr/bin/env bash
# Builds the title-file fuzz target with clang and runs it: `fuzz/run.sh` for a million inputs,
# or `fuzz/run.sh -max_total_time=30` for a short bounded run.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh --tests
cmake --preset fuzz >/dev/null
cmake --build --preset fuzz -j"$(nproc)" --target fuzz_titlefile
corpus=$(mktemp -d)
trap 'rm -rf "$corpus"' EXIT
cp fuzz/corpus/* "$corpus"/
args=("$@")
[ ${#args[@]} -gt 0 ] || args=(-runs=1000000)
build/fuzz/fuzz/fuzz_titlefile -max_len=4096 "${args[@]}" "$corpus"
