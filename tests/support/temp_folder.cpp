#include "tests/support/temp_folder.h"

#include <windows.h>
#include <shellapi.h>

#include <cstdio>

#include "utils/guid_string.h"

namespace TestSupport {

TempFolder::TempFolder() {
    wchar_t temp[MAX_PATH] = {};
    ::GetTempPathW(MAX_PATH, temp);
    m_Path = std::wstring(temp) + L"lumivox-test-" + Utils::NewGuidString();
    ::CreateDirectoryW(m_Path.c_str(), nullptr);
}

TempFolder::~TempFolder() {
    std::wstring from = m_Path;
    from.push_back(L'\0');  // the operation takes a double-terminated list
    SHFILEOPSTRUCTW operation{};
    operation.wFunc = FO_DELETE;
    operation.pFrom = from.c_str();
    operation.fFlags = FOF_NO_UI;
    ::SHFileOperationW(&operation);
}

std::wstring TempFolder::Write(const std::wstring& name, const std::string& bytes) const {
    const std::wstring path = File(name);
    FILE* file = ::_wfopen(path.c_str(), L"wb");
    if (file != nullptr) {
        std::fwrite(bytes.data(), 1, bytes.size(), file);
        std::fclose(file);
    }
    return path;
}

std::wstring OwnFolder() {
    wchar_t path[MAX_PATH] = {};
    ::GetModuleFileNameW(nullptr, path, MAX_PATH);
    std::wstring folder = path;
    return folder.substr(0, folder.find_last_of(L"\\/"));
}

}  // namespace TestSupport
