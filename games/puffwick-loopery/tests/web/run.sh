#!/usr/bin/env bash
# Builds the web version and checks it in headless Chromium.
set -euo pipefail
here="$(cd "$(dirname "$0")" && pwd)"
cd "$here/../../../.."
./web.sh --build
exec /usr/bin/python3 "$here/browser_test.py" "$@"
