#!/usr/bin/env bash
# The whole suite, run by a player with a configuration of their own, leaves it byte for byte as
# it was: no test writes into the player's folders, whatever it saves.
set -euo pipefail
tests_binary=$1
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
home="$work/home"
config="$home/.config/tarnix"
mkdir -p "$config/replays" "$home/.local/share/tarnix"
printf 'a player'"'"'s settings\r\n' > "$config/Tarnix.ini"
printf '[Window]\nScale=3\n' > "$config/tarnix.conf"
printf 'a game kept\n' > "$config/replays/last.tnr"
printf 'the best game\n' > "$config/replays/best.tnr"
printf 'data\n' > "$home/.local/share/tarnix/kept"
touch -d '2020-01-02 03:04:05' "$config"/* "$config/replays"/* "$config/replays" "$config"
before=$(cd "$home" && find . -printf '%p %s %T@ %m\n' | sort && find . -type f -exec sha256sum {} + | sort)

HOME="$home" XDG_CONFIG_HOME="$home/.config" XDG_DATA_HOME="$home/.local/share" \
  QT_QPA_PLATFORM=offscreen "$tests_binary" --gtest_brief=1 > "$work/suite.log" 2>&1 || {
  tail -n 40 "$work/suite.log"
  echo "the suite itself failed under the player's home"
  exit 1
}

after=$(cd "$home" && find . -printf '%p %s %T@ %m\n' | sort && find . -type f -exec sha256sum {} + | sort)
if [ "$before" != "$after" ]; then
  diff <(printf '%s\n' "$before") <(printf '%s\n' "$after") || true
  echo "the suite changed the player's folders"
  exit 1
fi
echo "the player's folders are as they were"
