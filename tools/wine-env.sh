# Sourced by the tools: picks how Windows programs run here.
# The shipped programs are 32-bit. Where the kernel cannot start 32-bit Linux programs
# (no IA-32 emulation), 32-bit Wine cannot start either: the Windows-side tests then run
# a 64-bit build of the same sources under 64-bit Wine, in a prefix of its own.
km_here=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
if [ -z "${KM_WINE_BITS:-}" ]; then
  if [ ! -x /usr/lib/wine/wine ] || /usr/lib/wine/wine --version >/dev/null 2>&1; then
    KM_WINE_BITS=32
  else
    KM_WINE_BITS=64
  fi
fi
export KM_WINE_BITS
export WINEDEBUG="${WINEDEBUG:--all}"
export WINEDLLOVERRIDES="${WINEDLLOVERRIDES:-mscoree,mshtml=}"
if [ "$KM_WINE_BITS" = 32 ]; then
  export WINEARCH=win32
  export WINEPREFIX="${WINEPREFIX:-$km_here/build/wineprefix}"
  KM_WINE=wine
  KM_WINESERVER=wineserver
  KM_TEST_TREE="$km_here/build/windows"
else
  export WINEARCH=win64
  export WINEPREFIX="${WINEPREFIX:-$km_here/build/wineprefix64}"
  export WINELOADER=/usr/lib/wine/wine64
  export WINESERVER=/usr/lib/wine/wineserver64
  KM_WINE=/usr/lib/wine/wine64
  KM_WINESERVER=/usr/lib/wine/wineserver64
  KM_TEST_TREE="$km_here/build/windows64"
fi
