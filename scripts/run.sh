#!/usr/bin/env bash
# Installs what is missing, builds Meloport and starts it.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh
cmake --preset default >/dev/null
cmake --build --preset default -j"$(nproc)" --target meloport
exec build/default/meloport "$@"
