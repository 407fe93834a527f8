#!/usr/bin/env bash
# Builds the benchmarks with optimisation and prints the table of figures; arguments pick parts
# (list, titles, marks, tags, rename, cli, copy, startup).
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh
cmake --preset default >/dev/null
cmake --build --preset default -j"$(nproc)" --target meloport_bench
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
# Temporary folders on the disk, not in memory, as a user's music is.
TMPDIR="$work" XDG_RUNTIME_DIR="$work" build/default/bench/meloport_bench "$@"
