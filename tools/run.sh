#!/usr/bin/env bash
# Sets up what is missing, builds, and starts Kelmirt under Wine: on $DISPLAY when
# there is one, otherwise on a virtual display of its own (said so below).
set -euo pipefail
here=$(cd "$(dirname "$0")/.." && pwd)
"$here/tools/setup.sh"
"$here/tools/build.sh"
source "$here/tools/wine-env.sh"
if [ -z "${DISPLAY:-}" ]; then
  display=":$(( 90 + RANDOM % 100 ))"
  Xvfb "$display" -screen 0 1280x1024x24 -nolisten tcp >/dev/null 2>&1 &
  xvfb_pid=$!
  trap '"$KM_WINESERVER" -k >/dev/null 2>&1 || true; kill $xvfb_pid 2>/dev/null || true' EXIT
  export DISPLAY="$display"
  echo "No DISPLAY: Kelmirt runs on the virtual display $display (screenshot: import -window root -display $display shot.png)."
fi
# The station reads Kelmirt.ini from its own folder: run it from a copy of the deliverables.
run="$here/build/run"
mkdir -p "$run"
cp -n "$KM_TEST_TREE/dist/"* "$run/" 2>/dev/null || true
cp "$KM_TEST_TREE/dist/Kelmirt.exe" "$run/"
echo "Starting Kelmirt (it lives in the tray; end it from the tray menu's Exit, or with Ctrl+C here)."
"$KM_WINE" "$run/Kelmirt.exe"
