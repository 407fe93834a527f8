#!/usr/bin/env bash
# Builds the Debian package into a fresh folder and checks what apt and dpkg will read from it.
# Usage: check_package.sh <build dir> <output dir> <version> <application id> <source dir>
set -euo pipefail
build=$1 out=$2 version=$3 id=$4 source=$5

rm -rf "$out"
cpack --config "$build/CPackConfig.cmake" -G DEB -B "$out" >"$out.log" 2>&1 || { cat "$out.log"; exit 1; }
deb=$(echo "$out"/meloport_"$version"_*.deb)
[ -f "$deb" ] || { echo "FAIL: no meloport_${version}_<arch>.deb in $out"; ls "$out"; exit 1; }

status=0
fail() { echo "FAIL: $*"; status=1; }

field() { dpkg-deb -f "$deb" "$1"; }
# Whether a comma-separated relation field holds a group (a package, or alternatives) by name.
holds() { field "$1" | tr ',' '\n' | sed 's/([^)]*)//g; s/^ *//; s/ *$//; s/  */ /g' | grep -qxF "$2"; }

[ "$(field Package)" = meloport ] || fail "Package is '$(field Package)'"
[ "$(field Version)" = "$version" ] || fail "Version is '$(field Version)', not $version"
[ "$(field Architecture)" = "$(dpkg --print-architecture)" ] || fail "Architecture is '$(field Architecture)'"
for group in libqt6widgets6 libqt6gui6 libqt6core6 libtag1v5 'fonts-ipafont-gothic | fonts-noto-cjk'; do
    holds Depends "$group" || fail "Depends lacks '$group': $(field Depends)"
done
holds Recommends qt6-translations-l10n || fail "Recommends lacks qt6-translations-l10n: $(field Recommends)"
[ -n "$(field Maintainer)" ] || fail "no Maintainer"

contents=$(dpkg-deb -c "$deb")
# Only /usr, owned by root: nothing for purge to leave behind, nothing a user owns.
echo "$contents" | awk '$6 !~ /^\.\/usr\// || $2 != "root/root" { print; bad = 1 } END { exit bad }' ||
    fail "entries outside /usr or not owned by root"
echo "$contents" | grep -q '\./usr/local/' && fail "files under /usr/local"
for path in bin/meloport "share/applications/$id.desktop" "share/metainfo/$id.metainfo.xml" \
    "share/icons/hicolor/16x16/apps/$id.png" "share/icons/hicolor/32x32/apps/$id.png"; do
    echo "$contents" | awk '{ print $6 }' | grep -qxF "./usr/$path" || fail "the package lacks /usr/$path"
done

# Debug information stays out of the package.
mkdir "$out/tree"
tree=$out/tree
dpkg-deb -x "$deb" "$tree"
file "$tree/usr/bin/meloport" | grep -q ', stripped' || fail "/usr/bin/meloport is not stripped"

# The licence, in Debian's machine-readable format, with LICENSE's own text.
copyright=$tree/usr/share/doc/meloport/copyright
if [ -f "$copyright" ]; then
    head -1 "$copyright" | grep -qxF 'Format: https://www.debian.org/doc/packaging-manuals/copyright-format/1.0/' ||
        fail "the copyright file does not declare the machine-readable format"
    grep -qx 'License: Expat' "$copyright" || fail "the copyright file names no Expat (MIT) licence"
    # The standalone licence paragraph, its lines unindented and its " ." lines empty again.
    awk 'on { sub(/^ /, ""); sub(/^\.$/, ""); print } prev == "" && $0 == "License: Expat" { on = 1 } { prev = $0 }' \
        "$copyright" >"$out/licence"
    sed -n '/^Permission is hereby granted/,$p' "$source/LICENSE" | diff -u - "$out/licence" >/dev/null ||
        fail "the copyright file's licence text differs from LICENSE"
else
    fail "the package lacks /usr/share/doc/meloport/copyright"
fi

# The changelog speaks of this version, signed by the package's maintainer.
changelog=$tree/usr/share/doc/meloport/changelog.gz
if [ -f "$changelog" ]; then
    zcat "$changelog" >"$out/changelog"
    [ "$(dpkg-parsechangelog -l "$out/changelog" -S Version)" = "$version" ] ||
        fail "the changelog's latest entry is not $version"
    [ "$(dpkg-parsechangelog -l "$out/changelog" -S Maintainer)" = "$(field Maintainer)" ] ||
        fail "the changelog is signed by someone else than the Maintainer"
else
    fail "the package lacks /usr/share/doc/meloport/changelog.gz"
fi

# Both manual pages, compressed, of this version, and rendered without a warning.
for page in man/man1/meloport.1.gz man/ja/man1/meloport.1.gz; do
    if [ -f "$tree/usr/share/$page" ]; then
        # Compressed as Debian does (gzip -n): no name or time stamp that would make rebuilds differ.
        file "$tree/usr/share/$page" | grep -q 'was "' && fail "/usr/share/$page keeps its file name in the gzip header"
        zcat "$tree/usr/share/$page" >"$out/page"
        grep -q "^\.TH MELOPORT 1 .*\"Meloport $version\"" "$out/page" || fail "/usr/share/$page is not of version $version"
        warnings=$(groff -k -ww -z -man -Tutf8 "$out/page" 2>&1)
        [ -z "$warnings" ] || fail "/usr/share/$page renders with warnings: $warnings"
    else
        fail "the package lacks /usr/share/$page"
    fi
done

exit "$status"
