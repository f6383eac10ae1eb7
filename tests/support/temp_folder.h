// A fresh folder under the temp folder, removed with everything in it at the end.
#pragma once

#include <string>

namespace TestSupport {

class TempFolder {
public:
    TempFolder();
    ~TempFolder();
    TempFolder(const TempFolder&) = delete;
    TempFolder& operator=(const TempFolder&) = delete;

    const std::wstring& Path() const { return m_Path; }
    // Path of a file or folder inside, joined with a backslash.
    std::wstring File(const std::wstring& name) const { return m_Path + L"\\" + name; }
    // Writes bytes to a file inside and returns its path.
    std::wstring Write(const std::wstring& name, const std::string& bytes) const;

private:
    std::wstring m_Path;
};

// Folder of the running test program (where the other built programs lie too).
std::wstring OwnFolder();

}  // namespace TestSupport
