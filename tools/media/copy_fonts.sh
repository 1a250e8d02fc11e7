#!/usr/bin/env bash
# Copies the three freely licensed fonts the framework loads, under the file
# names it expects, together with their licence texts, into Files/Common/.
# Needs the Debian packages fonts-open-sans and fonts-comfortaa (installed
# when missing). The copies are committed; run this only to refresh them.
set -euo pipefail
root="$(cd "$(dirname "$0")/../.." && pwd)"
dest="$root/Files/Common"
need=()
for p in fonts-open-sans fonts-comfortaa; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || need+=("$p")
done
if [ ${#need[@]} -gt 0 ]; then
  sudo=""; [ "$(id -u)" -ne 0 ] && sudo="sudo"
  $sudo apt-get update -qq
  DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --no-install-recommends "${need[@]}"
fi
sans=/usr/share/fonts/truetype/open-sans
round=/usr/share/fonts/truetype/comfortaa
cp "$sans/OpenSans-Regular.ttf"  "$dest/SVBasicManual.ttf"
cp "$sans/OpenSans-CondBold.ttf" "$dest/Blue Highway.ttf"
cp "$round/Comfortaa-Bold.ttf"   "$dest/Acknowledge TT QVL.ttf"

apache() {
  cat /usr/share/doc/fonts-open-sans/copyright
  printf '\n\n----- Full text of the Apache License, Version 2.0 -----\n\n'
  cat /usr/share/common-licenses/Apache-2.0
}
{ printf 'SVBasicManual.ttf is Open Sans Regular (Debian package fonts-open-sans).\n\n'; apache; } \
  > "$dest/SVBasicManual.LICENSE.txt"
{ printf 'Blue Highway.ttf is Open Sans Condensed Bold (Debian package fonts-open-sans).\n\n'; apache; } \
  > "$dest/Blue Highway.LICENSE.txt"
{ printf 'Acknowledge TT QVL.ttf is Comfortaa Bold (Debian package fonts-comfortaa).\n\n'
  cat /usr/share/doc/fonts-comfortaa/copyright; } \
  > "$dest/Acknowledge TT QVL.LICENSE.txt"
echo "fonts copied to $dest"
