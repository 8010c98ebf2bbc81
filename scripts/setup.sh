#!/usr/bin/env bash
# Installs the Debian packages that building and playing the game (and building and running
# its board server) needs; with --test also what the tests, the benchmarks, the asset tools,
# the package check and the board server's tests (PostgreSQL, Chromium) need.
# Does nothing when all of them are already present.
# Usage: setup.sh [--test]
set -euo pipefail

packages=(
  g++ cmake ninja-build pkg-config
  qt6-base-dev qt6-base-dev-tools qt6-qpa-plugins libgl-dev
  qt6-l10n-tools qt6-tools-dev qt6-translations-l10n
  libsdl2-dev
  libxkbcommon-dev libxkbcommon-x11-dev libxcb1-dev
  fonts-ipafont-gothic
  qt6-wayland
  libcpp-httplib-dev libqt6sql6-sqlite libqt6sql6-psql
)
test_packages=(
  libgtest-dev libgmock-dev libbenchmark-dev
  clang libclang-rt-dev
  xvfb xauth xdotool imagemagick x11-utils x11-xkb-utils
  desktop-file-utils appstream dpkg-dev fakeroot file lintian
  postgresql chromium
)
if [ "${1:-}" = --test ]; then packages+=("${test_packages[@]}"); fi

# The same packages under Fedora's names, where they are known.
fedora_name() {
  case $1 in
    cmake | ninja-build | clang | xdotool | desktop-file-utils | appstream | dpkg-dev | \
      fakeroot | file) echo "$1" ;;
    g++) echo gcc-c++ ;;
    pkg-config) echo pkgconf-pkg-config ;;
    qt6-base-dev | qt6-base-dev-tools) echo qt6-qtbase-devel ;;
    qt6-qpa-plugins) echo qt6-qtbase-gui ;;
    qt6-wayland) echo qt6-qtwayland ;;
    qt6-tools-dev) echo qt6-qttools-devel ;;
    qt6-l10n-tools) echo qt6-linguist ;;
    qt6-translations-l10n) echo qt6-qttranslations ;;
    libgl-dev) echo libglvnd-devel ;;
    libsdl2-dev) echo SDL2-devel ;;
    libxkbcommon-dev) echo libxkbcommon-devel ;;
    libxkbcommon-x11-dev) echo libxkbcommon-x11-devel ;;
    libxcb1-dev) echo libxcb-devel ;;
    x11-xkb-utils) echo setxkbmap ;;
    fonts-ipafont-gothic) echo ipa-gothic-fonts ipa-pgothic-fonts ;;
    libgtest-dev) echo gtest-devel ;;
    libgmock-dev) echo gmock-devel ;;
    libbenchmark-dev) echo google-benchmark-devel ;;
    libclang-rt-dev) echo compiler-rt ;;
    xvfb) echo xorg-x11-server-Xvfb ;;
    xauth) echo xorg-x11-xauth ;;
    imagemagick) echo ImageMagick ;;
    x11-utils) echo xprop xwininfo ;;
    libcpp-httplib-dev) echo cpp-httplib-devel ;;
    libqt6sql6-sqlite) echo qt6-qtbase ;;
    libqt6sql6-psql) echo qt6-qtbase-postgresql ;;
    postgresql) echo postgresql-server ;;
    chromium) echo chromium ;;
    *) return 1 ;;
  esac
}

if ! command -v apt-get >/dev/null || ! command -v dpkg-query >/dev/null; then
  fedora=() unknown=()
  for p in "${packages[@]}"; do
    if names=$(fedora_name "$p"); then
      for n in $names; do [[ " ${fedora[*]} " == *" $n "* ]] || fedora+=("$n"); done
    else
      unknown+=("$p")
    fi
  done
  echo "This system has no apt, so the set-up cannot install what the game needs."
  echo "Install these packages with your system's package manager:"
  echo "  Debian names: ${packages[*]}"
  echo "  Fedora names: ${fedora[*]}"
  if [ ${#unknown[@]} -gt 0 ]; then echo "  and whatever provides: ${unknown[*]}"; fi
  echo "Then run the make command again without the set-up: make play SETUP=: (or make test SETUP=:)"
  exit 1
fi

missing=()
for p in "${packages[@]}"; do
  status=$(dpkg-query -W -f='${Status}' "$p" 2>/dev/null || true)
  [[ "$status" == *"install ok installed"* ]] || missing+=("$p")
done
if [ ${#missing[@]} -eq 0 ]; then
  exit 0
fi

install="apt-get install -y -qq --no-install-recommends ${missing[*]}"
echo "Installing: ${missing[*]}"
if [ "$(id -u)" -eq 0 ]; then
  export DEBIAN_FRONTEND=noninteractive
  apt-get update -qq
  $install
elif command -v sudo >/dev/null; then
  sudo apt-get update -qq
  sudo $install
elif [ -t 0 ] && command -v su >/dev/null; then
  echo "There is no sudo here: su asks for the root password."
  su -c "export DEBIAN_FRONTEND=noninteractive; apt-get update -qq && $install"
else
  echo "Installing packages needs root, and there is neither sudo nor a terminal to ask for"
  echo "the root password. Run this as root, then run the make command again:"
  echo "  apt-get update && apt-get install --no-install-recommends ${missing[*]}"
  exit 1
fi
