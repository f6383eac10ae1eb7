#!/usr/bin/env bash
# Sourced by the scripts that run Windows programs: a Wine prefix of the project's own,
# cached outside the repo, and one wineserver kept alive for the whole run.
CACHE_ROOT=${LUMIVOX_CACHE:-$HOME/.cache/lumivox}
# One prefix per checkout, so that test runs of two checkouts never share a wineserver.
LUMIVOX_CHECKOUT=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
export WINEPREFIX=${LUMIVOX_WINEPREFIX:-$CACHE_ROOT/wineprefix-$(printf '%s' "$LUMIVOX_CHECKOUT" | md5sum | cut -c1-8)}
export WINEDEBUG=${WINEDEBUG:--all}
# No Mono/Gecko prompts, and no Linux menu entries for shortcuts that programs create.
export WINEDLLOVERRIDES=${WINEDLLOVERRIDES:-mscoree,mshtml,winemenubuilder.exe=}
LUMIVOX_WINE64=$(command -v /usr/lib/wine/wine64 || command -v wine64)
export LUMIVOX_WINE64

lumivox_prepare_wine_prefix() {
  if [ ! -f "$WINEPREFIX/.lumivox-ready-3" ]; then
    rm -rf "$WINEPREFIX"
    mkdir -p "$(dirname "$WINEPREFIX")"
    "$LUMIVOX_WINE64" wineboot -i >/dev/null 2>&1 || true
    wineserver -w
    # Layouts name the face "微软雅黑"; a CJK font stands in for it. A REGEDIT4 file would be
    # read in the ANSI code page and garble the name, so this is a UTF-16 "version 5" file.
    # Xvfb runs no window manager, and Wine would wait for one whenever a window it hands to
    # a manager is hidden or destroyed; so Wine manages no window.
    local reg="$WINEPREFIX/lumivox.reg"
    printf '\xff\xfe' >"$reg"
    printf '%s\r\n' 'Windows Registry Editor Version 5.00' '' \
      '[HKEY_LOCAL_MACHINE\Software\Microsoft\Windows NT\CurrentVersion\FontSubstitutes]' \
      '"微软雅黑"="WenQuanYi Micro Hei"' '"Microsoft YaHei"="WenQuanYi Micro Hei"' '' \
      '[HKEY_CURRENT_USER\Software\Wine\X11 Driver]' '"Managed"="N"' '' | iconv -f UTF-8 -t UTF-16LE >>"$reg"
    "$LUMIVOX_WINE64" regedit "$reg" >/dev/null 2>&1 || true
    wineserver -w
    # The profile folders (Desktop, Documents, ...) link to the Unix home; programs under
    # test get folders of their own inside the prefix instead.
    local link
    for link in "$WINEPREFIX"/drive_c/users/*/*; do
      if [ -L "$link" ]; then rm -f "$link"; mkdir -p "$link"; fi
    done
    touch "$WINEPREFIX/.lumivox-ready-3"
  fi
}

lumivox_start_wineserver() {
  wineserver -p >/dev/null 2>&1 || true
  # Wine's own background programs start with the first Windows program of a session and
  # inherit its output handles; started here, they hold no test runner's pipe open.
  "$LUMIVOX_WINE64" cmd /c exit >/dev/null 2>&1 </dev/null || true
  trap 'wineserver -k >/dev/null 2>&1 || true' EXIT
}
