// File operations on wide paths, so that a folder named in any language works whatever
// the system's ANSI code page is.
#pragma once

#include <cstdint>
#include <cstdio>
#include <string>

namespace Download {

// Size in bytes, or -1 when the file does not exist or cannot be measured.
int64_t FileSize(const std::wstring& path);
bool FileExists(const std::wstring& path);
// True when the file is gone afterwards (also when it never existed).
bool DeleteFileIfExists(const std::wstring& path);
// Replaces nothing: fails when `to` exists.
bool RenameFile(const std::wstring& from, const std::wstring& to);
FILE* OpenFile(const std::wstring& path, const wchar_t* mode);

}  // namespace Download
