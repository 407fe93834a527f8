#!/usr/bin/env bash
# lintian's verdict on the Debian package that check_package.sh built: no error and no warning.
# Informational tags pass; cmake/Package.cmake says why each one stays.
# Usage: lint_package.sh <output dir of check_package.sh>
set -euo pipefail
command -v lintian >/dev/null || { echo "lintian is not installed (scripts/install-deps.sh --tests)"; exit 77; }
deb=$(echo "$1"/meloport_*.deb)
# lintian warns on stderr that it runs as root, which tests here do.
out=$(lintian --fail-on error,warning --info "$deb" 2>/dev/null) || { echo "$out"; exit 1; }
echo "$out"
