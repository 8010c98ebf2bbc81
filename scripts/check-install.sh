#!/usr/bin/env bash
# Installs the build into a temporary prefix and checks what a desktop will read from it.
# With "package", builds the Debian package instead and checks it and lintian's verdict on it.
# Usage: check-install.sh BUILD_DIR [package]
set -euo pipefail
build=$(cd "$1" && pwd)
mode=${2:-prefix}
source_dir=$(cd "$(dirname "$0")/.." && pwd)
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
fail() { echo "$*"; exit 1; }

version=$(sed -n 's/.*kGameVersion = "\([^"]*\)".*/\1/p' "$source_dir/core/version.h")
[ -n "$version" ] || fail "no version in core/version.h"

if [ "$mode" = package ]; then
  # 77: CTest's skip status for this test.
  if grep -q '^TARNIX_SANITIZE:BOOL=ON' "$build/CMakeCache.txt"; then
    echo "SKIPPED: a sanitizer build is never packaged; make test checks the package"; exit 77
  fi
  for tool in lintian dpkg-shlibdeps; do
    command -v "$tool" >/dev/null ||
      { echo "SKIPPED: $tool is not installed, so the Debian package is not checked" \
             "(make test's set-up installs it)"; exit 77; }
  done
  (cd "$work" && cpack --config "$build/CPackConfig.cmake" -G DEB -B "$work" >/dev/null)
  deb=$(echo "$work"/tarnix_*.deb)
  [ -f "$deb" ] || fail "cpack made no package"
  field() { dpkg-deb -f "$deb" "$1"; }
  [ "$(field Version)" = "$version" ] || fail "package version $(field Version), game $version"
  [ "$(field Section)" = games ] || fail "package section $(field Section)"
  case ", $(field Depends)," in *xdg-utils*|*qt6-wayland*)
    fail "xdg-utils and qt6-wayland are recommended, not required: $(field Depends)";; esac
  [ "$(field Recommends)" = "xdg-utils, qt6-wayland, qt6-translations-l10n" ] || fail "Recommends: $(field Recommends)"
  # The key names read the layout through xkbcommon; the library scan must have found it.
  case ", $(field Depends)," in *" libxkbcommon-x11-0"*) ;;
    *) fail "the package does not depend on libxkbcommon-x11-0: $(field Depends)";; esac
  dpkg-deb -x "$deb" "$work/root"
  target=$(readlink -f "$work/root/usr/games/tarnix")
  [[ "$target" == "$work/root/usr/lib/"*tarnix/tarnix && -x "$target" ]] ||
    fail "the command is not /usr/games/tarnix leading to the game folder"
  grep -qx 'Exec=/usr/games/tarnix' "$work/root/usr/share/applications/org.tarnix.Tarnix.desktop" ||
    fail "the packaged launcher does not name /usr/games/tarnix"
  file -L "$work/root/usr/games/tarnix" | grep -q ', stripped' || fail "the executable is not stripped"
  zcat "$work/root/usr/share/doc/tarnix/changelog.gz" | head -1 | grep -qF "tarnix ($version)" ||
    fail "the changelog's latest entry is not version $version"
  # Errors and warnings fail; the informational notes are printed for the log.
  verdict=0
  report=$(lintian --fail-on error,warning --display-info "$deb" 2>&1) || verdict=$?
  grep -v 'running with root privileges' <<<"$report" || true
  [ "$verdict" -eq 0 ] || fail "lintian finds errors or warnings in the package"
  echo "Debian package $(basename "$deb"): lintian reports no error and no warning"
  exit 0
fi

prefix=$work/prefix
cmake --install "$build" --prefix "$prefix" >/dev/null

game="$prefix/lib/tarnix"
for f in tarnix up.wav bomb.wav get.wav over.wav height.wav cursor.wav select.wav Readme.txt; do
  [ -e "$game/$f" ] || fail "missing from the game folder: $f"
done
[ "$(readlink -f "$prefix/bin/tarnix")" = "$(readlink -f "$game/tarnix")" ] ||
  fail "bin/tarnix does not lead to the game folder"
for size in 16 32 48 128 256; do
  icon="$prefix/share/icons/hicolor/${size}x${size}/apps/org.tarnix.Tarnix.png"
  [ -f "$icon" ] || fail "missing icon: $icon"
  file "$icon" | grep -q "$size x $size" || fail "icon of the wrong size: $icon"
done
for f in share/man/man6/tarnix.6.gz share/doc/tarnix/copyright share/doc/tarnix/changelog.gz; do
  [ -f "$prefix/$f" ] || fail "missing: $f"
done
shown=$("$prefix/bin/tarnix" --version 2>/dev/null) || true
[[ "$shown" == *"$version"* ]] || fail "tarnix --version says \"$shown\", not $version"
zcat "$prefix/share/man/man6/tarnix.6.gz" | grep -qF "Tarnix $version" ||
  fail "the manual page does not state version $version"

desktop="$prefix/share/applications/org.tarnix.Tarnix.desktop"
desktop-file-validate "$desktop"
grep -qx 'Name=Tarnix' "$desktop"
grep -qx 'Name\[ja\]=タールニックス' "$desktop"
grep -qx 'Categories=Game;ArcadeGame;' "$desktop"
grep -qx "Exec=$prefix/bin/tarnix" "$desktop" ||
  fail "the launcher does not name the installed command by its absolute path"
metainfo="$prefix/share/metainfo/org.tarnix.Tarnix.metainfo.xml"
appstreamcli validate --pedantic --no-net "$metainfo" >/dev/null
grep -q "<release version=\"$version\"" "$metainfo" || fail "the metainfo's release is not $version"

# Docks group a window with its launcher by the window's class.
wm_class=$(sed -n 's/^StartupWMClass=//p' "$desktop")
[ -n "$wm_class" ] || fail "the launcher has no StartupWMClass"
if command -v Xvfb >/dev/null && command -v xdotool >/dev/null && command -v xprop >/dev/null; then
  # A display of its own, numbered by the server itself: other tests start theirs meanwhile.
  Xvfb -displayfd 3 -screen 0 640x480x24 -nolisten tcp 3>"$work/display" 2>/dev/null &
  xvfb=$!
  pid=""
  trap 'kill -9 $pid $xvfb 2>/dev/null; rm -rf "$work"' EXIT
  for _ in $(seq 100); do [ -s "$work/display" ] && break; sleep 0.1; done
  [ -s "$work/display" ] || fail "Xvfb did not start"
  export DISPLAY=:$(cat "$work/display")
  mkdir -p "$work/config"
  QT_QPA_PLATFORM=xcb XDG_CONFIG_HOME="$work/config" "$prefix/bin/tarnix" >/dev/null 2>&1 &
  pid=$!
  window=$(timeout 30 xdotool search --sync --pid $pid | head -n 1)
  shown=$(xprop -id "$window" WM_CLASS 2>/dev/null || true)
  [[ "$shown" == *", \"$wm_class\""* ]] ||
    fail "the window's class ($shown) is not the launcher's StartupWMClass $wm_class"
else
  fail "Xvfb, xdotool and xprop are needed to see the window's class"
fi
echo "install into a temporary prefix: game folder, command, launcher, manual, icons and metadata valid"
