#!/usr/bin/env bash
# Sourced after tools/wine-env.sh: makes sure the Wine prefix maps the layouts' face name
# "微软雅黑" to the CJK font. A REGEDIT4 file is read in the ANSI code page, which garbles
# the Chinese name, so this entry goes in through a UTF-16 "version 5" file instead.
lumivox_ensure_cjk_font() {
  local marker="$WINEPREFIX/.lumivox-cjk-font"
  [ -f "$marker" ] && return 0
  local reg="$WINEPREFIX/lumivox-cjk-font.reg"
  printf '\xff\xfe' >"$reg"
  printf 'Windows Registry Editor Version 5.00\r\n\r\n[HKEY_LOCAL_MACHINE\\Software\\Microsoft\\Windows NT\\CurrentVersion\\FontSubstitutes]\r\n"微软雅黑"="WenQuanYi Micro Hei"\r\n' \
    | iconv -f UTF-8 -t UTF-16LE >>"$reg"
  "$LUMIVOX_WINE64" regedit "$reg" >/dev/null 2>&1 || true
  touch "$marker"
}
