#!/usr/bin/env bash
# Creates the project's Wine prefix once, with font replacements so that
# Chinese dialog texts show, and Wine drawing the window frames itself: the virtual
# displays have no window manager, so the title bars would otherwise stay black.
# The marker holds the settings' version; a prefix made with older settings gets them again.
set -euo pipefail
source "$(dirname "$0")/wine-env.sh"
settings_version=3
marker="$WINEPREFIX/.project-ready"
[ "$(cat "$marker" 2>/dev/null)" = "$settings_version" ] && exit 0
mkdir -p "$WINEPREFIX"
echo "setup: preparing Wine prefix $WINEPREFIX"
[ -f "$WINEPREFIX/system.reg" ] || "$KM_WINE" wineboot -i >/dev/null 2>&1 || true
# The frames' buttons are glyphs of Marlett; take only that font from Wine's font package
# (its Tahoma would stand in front of the replacements above).
fonts="$WINEPREFIX/drive_c/windows/Fonts"
if [ ! -f "$fonts/marlett.ttf" ]; then
  deb_dir=$(mktemp -d)
  if (cd "$deb_dir" && apt-get download fonts-wine >/dev/null 2>&1); then
    dpkg-deb -x "$deb_dir"/fonts-wine_*.deb "$deb_dir/x"
    mkdir -p "$fonts" && cp "$deb_dir/x/usr/share/wine/fonts/marlett.ttf" "$fonts/"
  else
    echo "setup: fonts-wine not reachable; window buttons show letters"
  fi
  rm -rf "$deb_dir"
fi
reg=$(mktemp --suffix=.reg)
python3 - "$reg" <<'PY'
import sys
text = ('Windows Registry Editor Version 5.00\r\n\r\n'
        '[HKEY_CURRENT_USER\\Software\\Wine\\Fonts\\Replacements]\r\n'
        '"SimSun"="WenQuanYi Zen Hei"\r\n'
        '"\u5b8b\u4f53"="WenQuanYi Zen Hei"\r\n'
        '"MS Shell Dlg"="WenQuanYi Zen Hei"\r\n'
        '"MS Shell Dlg 2"="WenQuanYi Zen Hei"\r\n'
        '"Tahoma"="WenQuanYi Zen Hei"\r\n'
        '\r\n'
        '[HKEY_CURRENT_USER\\Software\\Wine\\X11 Driver]\r\n'
        '"Decorated"="N"\r\n')
open(sys.argv[1], 'wb').write(b'\xff\xfe' + text.encode('utf-16-le'))
PY
"$KM_WINE" regedit /S "$("$KM_WINE" winepath -w "$reg" 2>/dev/null)" >/dev/null 2>&1 || true
"$KM_WINESERVER" -w
rm -f "$reg"
echo "$settings_version" > "$marker"
