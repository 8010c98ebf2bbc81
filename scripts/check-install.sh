#!/usr/bin/env bash
# Installs the build into a temporary prefix and checks what a desktop will read from it.
# Usage: check-install.sh BUILD_DIR
set -euo pipefail
build=$1
prefix=$(mktemp -d)
trap 'rm -rf "$prefix"' EXIT
cmake --install "$build" --prefix "$prefix" >/dev/null

game="$prefix/lib/tarnix"
for f in tarnix up.wav bomb.wav get.wav over.wav height.wav cursor.wav select.wav Readme.txt; do
  [ -e "$game/$f" ] || { echo "missing from the game folder: $f"; exit 1; }
done
[ "$(readlink -f "$prefix/bin/tarnix")" = "$(readlink -f "$game/tarnix")" ] ||
  { echo "bin/tarnix does not lead to the game folder"; exit 1; }
for size in 16 32 48 128 256; do
  icon="$prefix/share/icons/hicolor/${size}x${size}/apps/org.tarnix.Tarnix.png"
  [ -f "$icon" ] || { echo "missing icon: $icon"; exit 1; }
  file "$icon" | grep -q "$size x $size" || { echo "icon of the wrong size: $icon"; exit 1; }
done

desktop="$prefix/share/applications/org.tarnix.Tarnix.desktop"
desktop-file-validate "$desktop"
grep -qx 'Name=Tarnix' "$desktop"
grep -qx 'Name\[ja\]=タールニックス' "$desktop"
grep -qx 'Categories=Game;ArcadeGame;' "$desktop"
appstreamcli validate --no-net "$prefix/share/metainfo/org.tarnix.Tarnix.metainfo.xml" >/dev/null
echo "install into a temporary prefix: game folder, launcher, icons and metadata valid"
