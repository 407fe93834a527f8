#!/usr/bin/env bash
# Installs the build into a fresh prefix and checks that a desktop would find the program there:
# the executable, its menu entry and icon at every size, its AppStream metadata, its help document.
# Usage: check_install.sh <build dir> <prefix> <source dir> <application id>
set -euo pipefail
build=$1 prefix=$2 source=$3 id=$4

rm -rf "$prefix"
cmake --install "$build" --prefix "$prefix" >/dev/null

status=0
fail() { echo "FAIL: $*"; status=1; }

# A desktop file's value for a key of its main group, unlocalised.
entry() { sed -n "s/^$1=//p" "$prefix/share/applications/$id.desktop"; }

# Width and height of a PNG, from its header.
png_size() { od -An -tu1 -j16 -N8 "$1" | awk '{ printf "%dx%d", $3 * 256 + $4, $7 * 256 + $8 }'; }

executable=$prefix/bin/meloport
[ -x "$executable" ] || fail "no executable bin/meloport"
# Every library comes from the system: a search path in the binary would prefer a stray copy.
if [ -x "$executable" ] && readelf -d "$executable" | grep -Eq 'RPATH|RUNPATH'; then
    fail "bin/meloport carries a library search path"
fi

desktop=$prefix/share/applications/$id.desktop
if [ -f "$desktop" ]; then
    for key in Exec TryExec; do
        [ -x "$prefix/bin/$(entry "$key" | cut -d' ' -f1)" ] || fail "$key= does not name the installed program"
    done
    [ "$(entry Icon)" = "$id" ] || fail "Icon= is '$(entry Icon)', not the application id"
    # A file manager's "open with" on a folder passes that folder.
    entry Exec | grep -q ' %f$' || fail "Exec= passes no folder (%f)"
    entry MimeType | tr ';' '\n' | grep -qx 'inode/directory' || fail "MimeType= does not offer it for folders"
else
    fail "no desktop entry share/applications/$id.desktop"
fi

for size in 16 32 48 64 128 256; do
    icon=$prefix/share/icons/hicolor/${size}x${size}/apps/$id.png
    if [ -f "$icon" ]; then
        [ "$(png_size "$icon")" = "${size}x${size}" ] || fail "the ${size}x${size} icon is $(png_size "$icon")"
    else
        fail "no ${size}x${size} icon"
    fi
done

metainfo=$prefix/share/metainfo/$id.metainfo.xml
if [ -f "$metainfo" ]; then
    grep -q "<id>$id</id>" "$metainfo" || fail "the AppStream id is not $id"
    # The pictures it points to are published from the source tree.
    for image in $(sed -n 's|.*<image[^>]*>[^<]*/\([^/<]*\)</image>.*|\1|p' "$metainfo"); do
        [ -f "$source/resources/screenshots/$image" ] || fail "screenshot $image is not in resources/screenshots"
    done
else
    fail "no AppStream metadata share/metainfo/$id.metainfo.xml"
fi

# The program looks for its help in ../share/meloport seen from its own folder.
if [ -f "$source/resources/help/Meloport.html" ]; then
    cmp -s "$source/resources/help/Meloport.html" "$prefix/share/meloport/Meloport.html" ||
        fail "the help document is not installed as share/meloport/Meloport.html"
fi

# man finds the pages under share/man of any prefix on PATH.
for page in man1/meloport.1.gz ja/man1/meloport.1.gz; do
    [ -f "$prefix/share/man/$page" ] || fail "no manual page share/man/$page"
done

# Static libraries and headers are build products only.
stray=$(cd "$prefix" && find . -type f ! -path './bin/*' ! -path './share/*')
[ -z "$stray" ] || fail "installed outside bin/ and share/: $stray"

exit "$status"
