#!/usr/bin/env bash
# Builds the Debian package of a build directory into a scratch folder, unpacks it with dpkg -x into
# a scratch root and checks what it lays out and what it depends on.
#   check-package.sh BUILD_DIR PROGRAM...
set -euo pipefail

build=$1
shift
programs=("$@")

scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
failures=0
fail() {
    echo "FAIL: $*" >&2
    failures=$((failures + 1))
}

cpack -G DEB --config "$build/CPackConfig.cmake" -B "$scratch/out" >"$scratch/cpack.log" 2>&1 || {
    cat "$scratch/cpack.log" >&2
    exit 1
}
packages=("$scratch"/out/*.deb)
[[ ${#packages[@]} -eq 1 && -f ${packages[0]} ]] || {
    echo "FAIL: expected one package, found: ${packages[*]}" >&2
    exit 1
}
deb=${packages[0]}
root="$scratch/root"
dpkg -x "$deb" "$root"

for program in "${programs[@]}"; do
    [[ -f $root/usr/bin/$program && -x $root/usr/bin/$program ]] || fail "usr/bin/$program missing or not executable"
    [[ -f $root/usr/share/man/man1/$program.1 ]] || fail "man page of $program missing"
done
for file in usr/share/applications/plumoxa.desktop \
    usr/share/mime/packages/plumoxa.xml \
    usr/share/icons/hicolor/scalable/apps/plumoxa.svg \
    usr/share/plumoxa/plumoxa.php \
    usr/share/doc/plumoxa/README.md; do
    [[ -f $root/$file ]] || fail "$file missing"
done

desktop=$root/usr/share/applications/plumoxa.desktop
grep -qx 'Exec=plumoxa %F' "$desktop" || fail "the desktop entry does not start plumoxa with files"
grep -qx 'Icon=plumoxa' "$desktop" || fail "the desktop entry does not name the icon"
grep -qx 'MimeType=application/x-plumoxa-account;' "$desktop" || fail "the desktop entry does not take account documents"
desktop-file-validate "$desktop" || fail "the desktop entry is not valid"
# The desktop database then names Plumoxa for account documents, which a double click opens.
applications=$scratch/applications
mkdir -p "$applications"
cp "$desktop" "$applications/"
update-desktop-database "$applications" || fail "update-desktop-database refuses the desktop entry"
grep -qx 'application/x-plumoxa-account=plumoxa.desktop;' "$applications/mimeinfo.cache" 2>/dev/null \
    || fail "the desktop database does not open account documents with Plumoxa"
# The MIME package compiles into a database that maps *.plumoxa to the account type and its icon.
mime=$scratch/mime
mkdir -p "$mime/packages"
cp "$root/usr/share/mime/packages/plumoxa.xml" "$mime/packages/"
update-mime-database "$mime" >/dev/null 2>&1 || fail "update-mime-database refuses the MIME package"
grep -qx 'application/x-plumoxa-account:\*.plumoxa' "$mime/globs" 2>/dev/null || fail "*.plumoxa is not the account type"
grep -qx 'application/x-plumoxa-account:plumoxa' "$mime/icons" 2>/dev/null || fail "the account type has not the icon"

# Runtime dependencies come from the linked libraries.
depends=$(dpkg-deb -f "$deb" Depends)
required=(libc6 libstdc++6 libssl3 libqt6core6 libqt6network6)
[[ " ${programs[*]} " == *" plumoxa "* ]] && required+=(libqt6widgets6 libqt6gui6)
for library in "${required[@]}"; do
    [[ $depends == *"$library"* ]] || fail "Depends lacks $library: $depends"
done
[[ $(dpkg-deb -f "$deb" Package) == plumoxa ]] || fail "the package is not named plumoxa"

# The unpacked programs run from the scratch root.
"$root/usr/bin/plumoxa-server" --help | grep -q '^usage: plumoxa-server' || fail "plumoxa-server --help"
"$root/usr/bin/plumoxa-cli" --help >/dev/null 2>&1 || fail "plumoxa-cli --help"
if [[ " ${programs[*]} " == *" plumoxa "* ]]; then
    QT_QPA_PLATFORM=offscreen "$root/usr/bin/plumoxa" --version | grep -q 'Plumoxa' || fail "plumoxa --version"
fi

if [[ $failures -gt 0 ]]; then
    echo "$failures check(s) of $(basename "$deb") failed" >&2
    exit 1
fi
echo "$(basename "$deb"): layout and dependencies as expected"
