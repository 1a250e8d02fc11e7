#!/usr/bin/env bash
# Installs the Debian packages the build, the game and the tests need, when missing.
# Usage: tools/deps.sh [play|test|server]
set -euo pipefail
want=(build-essential cmake pkg-config libsdl2-dev libfreetype-dev libpng-dev zlib1g-dev
      libopenal-dev libopenal1 libasound2-dev libx11-dev libgl-dev libgl1-mesa-dri libcurl4-openssl-dev)
if [ "${1:-play}" = test ]; then
  want+=(googletest libgtest-dev xvfb xauth x11-apps libxtst6 python3 python3-pil python3-numpy
        desktop-file-utils appstream man-db dpkg-dev lintian
        libcpp-httplib-dev libsqlite3-dev libpq-dev)
fi
if [ "${1:-play}" = server ]; then
  # The leaderboard server and its tests (a throwaway PostgreSQL cluster among them).
  want+=(googletest libgtest-dev libcpp-httplib-dev libsqlite3-dev libpq-dev postgresql python3)
fi
missing=()
for p in "${want[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
done
[ ${#missing[@]} -eq 0 ] && exit 0
echo "Installing: ${missing[*]}"
sudo=""
[ "$(id -u)" -ne 0 ] && sudo="sudo"
$sudo apt-get update -qq
DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --no-install-recommends "${missing[@]}"
