#!/usr/bin/env bash
# Builds the board server's Debian package from a build folder and checks lintian's verdict.
# Usage: board-package.sh BUILD_DIR [OUT_DIR]
set -euo pipefail
build=$(cd "$1" && pwd)
out=${2:-$build}
source_dir=$(cd "$(dirname "$0")/.." && pwd)
# 77: CTest's skip status.
if grep -q '^TARNIX_SANITIZE:BOOL=ON' "$build/CMakeCache.txt"; then
  echo "SKIPPED: a sanitizer build is never packaged; make test checks the package"; exit 77
fi
for tool in lintian dpkg-shlibdeps dpkg-deb fakeroot; do
  command -v "$tool" >/dev/null ||
    { echo "SKIPPED: $tool is not installed (make test's set-up installs it)"; exit 77; }
done
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
fail() { echo "$*"; exit 1; }
version=$(sed -n 's/.*kGameVersion = "\([^"]*\)".*/\1/p' "$source_dir/core/version.h")
root=$work/root
cmake --install "$build" --component board --prefix "$root/usr" >/dev/null
strip --strip-unneeded --remove-section=.comment --remove-section=.note "$root/usr/bin/tarnix-board"
doc=$root/usr/share/doc/tarnix-board
install -d "$doc" "$root/usr/share/man/man1" "$root/lib/systemd/system" "$root/DEBIAN"
install -m 644 "$source_dir/packaging/copyright" "$doc/copyright"
install -m 644 "$source_dir/server/API.md" "$doc/API.md"
gzip -9nc "$source_dir/packaging/board/changelog" > "$doc/changelog.gz"
gzip -9nc "$source_dir/packaging/board/tarnix-board.1" > "$root/usr/share/man/man1/tarnix-board.1.gz"
install -m 644 "$source_dir/packaging/board/tarnix-board.service" "$root/lib/systemd/system/"
chmod 644 "$doc"/* "$root/usr/share/man/man1/tarnix-board.1.gz"

# dpkg-shlibdeps wants to stand in a source package.
mkdir -p "$work/src/debian"
printf 'Source: tarnix-board\n\nPackage: tarnix-board\nArchitecture: any\n' > "$work/src/debian/control"
shlibs=$(cd "$work/src" && dpkg-shlibdeps -O "$root/usr/bin/tarnix-board" 2>/dev/null |
         sed -n 's/^shlibs:Depends=//p')
[ -n "$shlibs" ] || fail "dpkg-shlibdeps found no libraries"
size=$(du -sk --exclude=DEBIAN "$root" | cut -f1)
sed -e "s/@VERSION@/$version/" -e "s/@ARCH@/$(dpkg --print-architecture)/" \
    -e "s/@SIZE@/$size/" -e "s/@SHLIBS@/$shlibs/" \
    "$source_dir/packaging/board/control.in" > "$root/DEBIAN/control"
(cd "$root" && find usr lib -type f -exec md5sum {} + | sort -k2) > "$root/DEBIAN/md5sums"
deb=$out/tarnix-board_${version}_$(dpkg --print-architecture).deb
fakeroot dpkg-deb --build -Zxz "$root" "$deb" >/dev/null

contents=$(dpkg-deb -c "$deb")
grep -q 'lib/systemd/system/tarnix-board.service' <<<"$contents" || fail "no service in the package"
for key in DynamicUser=yes StateDirectory=tarnix-board ProtectSystem=strict; do
  grep -qx "$key" "$source_dir/packaging/board/tarnix-board.service" || fail "the service lacks $key"
done
# systemd's own reading of the unit, its command taken from the package.
if command -v systemd-analyze >/dev/null; then
  mkdir "$work/unit"
  sed "s|/usr/bin/tarnix-board|$root/usr/bin/tarnix-board|" \
    "$root/lib/systemd/system/tarnix-board.service" > "$work/unit/tarnix-board.service"
  systemd-analyze verify --man=no "$work/unit/tarnix-board.service" ||
    fail "systemd-analyze finds fault with the service"
fi
verdict=0
report=$(lintian --fail-on error,warning --display-info "$deb" 2>&1) || verdict=$?
echo "$report"
[ "$verdict" -eq 0 ] || fail "lintian finds errors or warnings in the board's package"
echo "Debian package $(basename "$deb"): lintian reports no error and no warning"
