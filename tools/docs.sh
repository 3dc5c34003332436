#!/usr/bin/env bash
# Refreshes the README's pictures: runs the end-to-end tests that take them (on a virtual
# display of their own) and copies the chosen screenshots into docs/; each test crops its
# shot to its window.
# Run after tools/build.sh.
set -euo pipefail
here=$(cd "$(dirname "$0")/.." && pwd)
source "$here/tools/wine-env.sh"
display="${KM_DISPLAY:-:$(( 90 + RANDOM % 100 ))}"
Xvfb "$display" -screen 0 1280x1024x24 -nolisten tcp >/dev/null 2>&1 &
xvfb_pid=$!
trap '"$KM_WINESERVER" -k >/dev/null 2>&1 || true; kill $xvfb_pid 2>/dev/null || true' EXIT
export DISPLAY="$display"
for _ in $(seq 50); do xdpyinfo -display "$display" >/dev/null 2>&1 && break; sleep 0.1; done

(cd "$KM_TEST_TREE" && ctest --output-on-failure \
   -R '^(kelmirt_e2e_test|ornavex_e2e_test|dialogs_e2e_test|lumbrel_e2e_test)$')

shots=(lumbrel-version-list lumbrel-success
       kelmirt-main-dialog-English kelmirt-tray-menu-English kelmirt-settings-English
       kelmirt-job-options-en preset-station-editor-open barcode-dialog-generated
       kelmirt-send-mid-send
       ornavex-zoom-1 ornavex-set-colours ornavex-output-dialog)
mkdir -p "$here/docs"
for s in "${shots[@]}"; do
  # The tests write their pictures uncompressed; ImageMagick packs them for the repository.
  convert "$KM_TEST_TREE/test-output/$s.png" -strip "$here/docs/$s.png"
done
echo "docs: ${#shots[@]} pictures refreshed"
