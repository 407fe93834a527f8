#!/usr/bin/env bash
# Fails on an include that runs up the layers: core/ into ui/ or cli/, platform/ into any of ours,
# cli/ into ui/.
set -u
cd "${1:-$(dirname "$0")/..}" || exit 2
bad=$(
    grep -rnE '^\s*#\s*include\s+"(ui|cli)/' core
    grep -rnE '^\s*#\s*include\s+"(core|ui|cli)/' platform
    grep -rnE '^\s*#\s*include\s+"ui/' cli
    grep -rnE '^\s*#\s*include\s+<Q(Widget|Dialog|MainWindow|MessageBox|Application|Gui|Screen)' core cli
)
if [ -n "$bad" ]; then
    echo "Includes that run up the layers:"
    echo "$bad"
    exit 1
fi
echo "layers: one way"
