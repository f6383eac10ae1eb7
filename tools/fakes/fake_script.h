// Test-side helpers for the scriptable fake package and fake uninstaller (fake_child.cpp):
// where the built programs lie and how to put a copy with its script somewhere.
#pragma once

#include <windows.h>

#include <cstdio>
#include <string>

namespace Fakes {

// Folder of the running test program, where the fakes are built too.
inline std::wstring BuiltProgramsFolder() {
    wchar_t path[MAX_PATH] = {};
    ::GetModuleFileNameW(nullptr, path, MAX_PATH);
    std::wstring folder = path;
    return folder.substr(0, folder.find_last_of(L"\\/"));
}

inline std::wstring FakePackagePath() { return BuiltProgramsFolder() + L"\\fake_package.exe"; }
inline std::wstring FakeUninstallerPath() { return BuiltProgramsFolder() + L"\\fake_uninstaller.exe"; }

inline std::string ToUtf8(const std::wstring& text) {
    if (text.empty()) return {};
    const int length =
        ::WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), nullptr, 0, nullptr, nullptr);
    std::string bytes(static_cast<size_t>(length), '\0');
    ::WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), &bytes[0], length, nullptr, nullptr);
    return bytes;
}

// The script a copy named `programPath` reads: its path with ".script" for the extension.
inline std::wstring ScriptPathFor(const std::wstring& programPath) {
    const size_t dot = programPath.find_last_of(L'.');
    const size_t slash = programPath.find_last_of(L"\\/");
    const bool hasExtension = dot != std::wstring::npos && (slash == std::wstring::npos || dot > slash);
    return (hasExtension ? programPath.substr(0, dot) : programPath) + L".script";
}

// Writes a UTF-8 script file; true when it was written whole.
inline bool WriteScript(const std::wstring& scriptPath, const std::string& utf8Script) {
    FILE* file = ::_wfopen(scriptPath.c_str(), L"wb");
    if (file == nullptr) return false;
    const bool written = std::fwrite(utf8Script.data(), 1, utf8Script.size(), file) == utf8Script.size();
    return std::fclose(file) == 0 && written;
}

// Copies a fake to `programPath` and writes the script beside it.
inline bool PlaceFake(const std::wstring& fakePath, const std::wstring& programPath, const std::string& utf8Script) {
    return ::CopyFileW(fakePath.c_str(), programPath.c_str(), FALSE) != FALSE &&
           WriteScript(ScriptPathFor(programPath), utf8Script);
}

// Reads a whole file as bytes; empty when it cannot be read.
inline std::string ReadBytes(const std::wstring& path) {
    std::string content;
    FILE* file = ::_wfopen(path.c_str(), L"rb");
    if (file == nullptr) return content;
    char buffer[4096];
    size_t got = 0;
    while ((got = std::fread(buffer, 1, sizeof(buffer), file)) > 0) content.append(buffer, got);
    std::fclose(file);
    return content;
}

}  // namespace Fakes
