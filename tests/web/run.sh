#!/usr/bin/env bash
# Builds the web version and checks it in headless Chromium.
set -euo pipefail
cd "$(dirname "$0")/../.."
./web.sh --build
exec /usr/bin/python3 tests/web/browser_test.py "$@"
