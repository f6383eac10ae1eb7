#pragma once

#include <string>

namespace Utils {

// MD5 of a file's bytes as 32 lowercase hex digits; empty when the path is empty, the file
// cannot be opened or a read fails. The ANSI form takes a path in the system's ANSI code
// page; the wide form reaches every file name.
std::string GetFileMd5(const std::string& ansiPath);
std::string GetFileMd5W(const std::wstring& path);

}  // namespace Utils
