#!/usr/bin/env bash
# Fails when a 32-bit program imports a library or function that Windows XP does not have.
set -euo pipefail
exe=$1
imports=$(i686-w64-mingw32-objdump -p "$exe" | awk '/DLL Name:/{dll=tolower($3)} /^\t[ 0-9a-f]+\t? *[0-9]+ +[A-Za-z_]/{print dll": "$NF} /DLL Name:/{print tolower($3)": -"}')
forbidden='^(bcrypt\.dll|ncrypt\.dll|dwrite\.dll|d2d1\.dll|api-ms-)|: (GetTickCount64|[A-Za-z]*SRWLock[A-Za-z]*|[A-Za-z]*ConditionVariable[A-Za-z]*|InitOnce[A-Za-z]*|CompareStringEx|GetLocaleInfoEx|LCMapStringEx|GetFinalPathNameByHandle[AW]|CancelIoEx|CreateSymbolicLink[AW]|GetUserDefaultLocaleName|SetThreadDescription|SetDefaultDllDirectories|AddDllDirectory|GetSystemTimePreciseAsFileTime|InterlockedCompareExchange64)$'
bad=$(printf '%s\n' "$imports" | grep -E "$forbidden" || true)
if [ -n "$bad" ]; then
  echo "$exe imports what Windows XP lacks:" >&2
  printf '%s\n' "$bad" | sed 's/^/  /' >&2
  exit 1
fi
