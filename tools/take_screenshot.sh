#!/usr/bin/env bash
# Retakes resources/screenshots/main-window.png, the screenshot that the AppStream metadata points
# to: the main window on a virtual screen with a folder of sample tracks and their titles.
# Usage: tools/take_screenshot.sh [program]   (default: the build of the default preset)
# Needs the Debian packages xvfb, jwm, xdotool and imagemagick.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
program=${1:-$root/build/default/meloport}
out=$root/resources/screenshots/main-window.png

# The sample folder's path shows in the picture, so it is a short one; never one that exists.
music=${TMPDIR:-/tmp}/Music
mkdir "$music"
work=$(mktemp -d)
pids=()
cleanup() {
    for pid in "${pids[@]}"; do kill "$pid" 2>/dev/null || true; done
    rm -rf "$work" "$music"
}
trap cleanup EXIT

mkdir -m 700 "$work/runtime"
mkdir "$music/アルバム"
for n in 01 02 03 04 05 06; do : >"$music/アルバム/Track$n.wav"; done
# Title files are in the Windows code page, as the program reads them.
printf '%s\r\n' 春の歌 夏の終わり 秋風 冬の星座 雨上がり 帰り道 | iconv -f UTF-8 -t CP932 >"$music/曲名.txt"

# Xvfb picks a free display and tells its number through the descriptor.
Xvfb -displayfd 3 -screen 0 1024x768x24 -nolisten tcp 3>"$work/display" 2>/dev/null &
pids+=($!)
for _ in $(seq 50); do [ -s "$work/display" ] && break; sleep 0.1; done
export DISPLAY=:$(cat "$work/display")
jwm >/dev/null 2>&1 &
pids+=($!)

HOME=$work XDG_CONFIG_HOME=$work/config XDG_RUNTIME_DIR=$work/runtime LANG=ja_JP.UTF-8 \
    "$program" >/dev/null 2>&1 &
pids+=($!)
window=$(xdotool search --sync --pid "${pids[-1]}" --name 'めろぽーと' | head -1)
xdotool windowactivate --sync "$window"
sleep 1

# The folder (the path field has the focus at start), then the title file two tab stops further.
xdotool type --delay 5 "$music/アルバム"
xdotool key Tab Tab
xdotool type --delay 5 "$music/曲名.txt"
xdotool key alt+l
# Choosing the kind lists the folder.
xdotool key alt+k Return
sleep 1

mkdir -p "$(dirname "$out")"
import -window "$window" "$out"
echo "wrote $out"
