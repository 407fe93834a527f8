#!/usr/bin/env sh
# desktop-file-validate fails only on errors; its warnings count here too. Hints (such as a second
# main category) are advice and pass.
# Usage: validate_desktop_entry.sh <desktop file>
out=$(desktop-file-validate "$1") || { echo "$out"; exit 1; }
[ -z "$out" ] || echo "$out"
! echo "$out" | grep -Eq ': (error|warning):'
