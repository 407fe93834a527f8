#!/usr/bin/env bash
# Builds the Debian package into a fresh folder and checks what apt and dpkg will read from it.
# Usage: check_package.sh <build dir> <output dir> <version> <application id>
set -euo pipefail
build=$1 out=$2 version=$3 id=$4

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
for group in libqt6widgets6 libqt6gui6 libqt6core6 'fonts-ipafont-gothic | fonts-noto-cjk'; do
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
dpkg-deb -x "$deb" "$out/tree"
file "$out/tree/usr/bin/meloport" | grep -q ', stripped' || fail "/usr/bin/meloport is not stripped"

exit "$status"
