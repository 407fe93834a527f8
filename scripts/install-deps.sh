#!/usr/bin/env bash
# Installs the Debian packages that building and running Meloport need, when missing;
# with --tests, also what the tests, the sanitizer build and the fuzz target need.
set -euo pipefail

packages=(
    cmake g++ make            # build
    qt6-base-dev              # Qt Core, Widgets and Test, with moc and rcc
    libtag1-dev pkgconf       # TagLib, which reads the files' title tags
    qt6-translations-l10n     # Japanese standard buttons in dialogs
    fonts-ipafont-gothic      # glyphs for the Japanese interface
)
test_packages=(
    desktop-file-utils        # desktop-file-validate, for the installed menu entry
    appstream                 # appstreamcli, for the installed AppStream metadata
    dpkg-dev file             # the Debian package's dependencies (dpkg-shlibdeps; CPack needs file)
    lintian groff-base        # the package checked as Debian checks it; its manual pages rendered
    exfatprogs exfat-fuse fuse3 ntfs-3g  # exFAT and NTFS disks on loop devices, for the rename and copy tests
    clang libclang-rt-14-dev  # libFuzzer, for the title-file fuzz target
)
[ "${1:-}" = "--tests" ] && packages+=("${test_packages[@]}")

missing=()
for package in "${packages[@]}"; do
    dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q 'install ok installed' || missing+=("$package")
done

if ((${#missing[@]})); then
    echo "Installing: ${missing[*]}"
    sudo=""
    [ "$(id -u)" -eq 0 ] || sudo="sudo"
    $sudo apt-get update -qq
    DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi
