#!/usr/bin/env bash
# Creates the project's Wine prefix once, with font replacements so that
# Chinese dialog texts show.
set -euo pipefail
source "$(dirname "$0")/wine-env.sh"
[ -f "$WINEPREFIX/.project-ready" ] && exit 0
mkdir -p "$WINEPREFIX"
echo "setup: preparing Wine prefix $WINEPREFIX"
"$KM_WINE" wineboot -i >/dev/null 2>&1 || true
reg=$(mktemp --suffix=.reg)
python3 - "$reg" <<'PY'
import sys
text = ('Windows Registry Editor Version 5.00\r\n\r\n'
        '[HKEY_CURRENT_USER\\Software\\Wine\\Fonts\\Replacements]\r\n'
        '"SimSun"="WenQuanYi Zen Hei"\r\n'
        '"\u5b8b\u4f53"="WenQuanYi Zen Hei"\r\n'
        '"MS Shell Dlg"="WenQuanYi Zen Hei"\r\n'
        '"MS Shell Dlg 2"="WenQuanYi Zen Hei"\r\n'
        '"Tahoma"="WenQuanYi Zen Hei"\r\n')
open(sys.argv[1], 'wb').write(b'\xff\xfe' + text.encode('utf-16-le'))
PY
"$KM_WINE" regedit /S "$("$KM_WINE" winepath -w "$reg" 2>/dev/null)" >/dev/null 2>&1 || true
"$KM_WINESERVER" -w
rm -f "$reg"
touch "$WINEPREFIX/.project-ready"
