// The skin archive: a 7z archive (held in the executable's resources) unpacked into memory
// once, whose items are then found by path.
//
// Lookup rule: the requested path has every "\" turned into "/", then it matches a stored
// path of the same length that equals it without regard to case.
#pragma once

#include <windows.h>

#include <cstddef>
#include <string>
#include <vector>

namespace SkinUI {

// True when `requested` names the item stored as `stored` under the lookup rule.
bool SkinPathMatches(const std::wstring& requested, const std::wstring& stored);

class SkinArchive {
public:
    struct Item {
        std::wstring path;  // as stored, "/" separated
        const unsigned char* data;
        size_t size;
    };

    SkinArchive() = default;
    SkinArchive(const SkinArchive&) = delete;
    SkinArchive& operator=(const SkinArchive&) = delete;

    // Unpacks every file item of a 7z archive held in `bytes` (the archive keeps a copy).
    // False, with the archive left empty, when it cannot be read.
    bool Open(std::string bytes);
    // Copies the resource of type "ZIPRES" with the given id out of `module` and opens it.
    // False when the resource is missing, empty or not an archive.
    bool OpenResource(HMODULE module, int resourceId);

    bool IsOpen() const { return m_Open; }
    // Folders are not items.
    const std::vector<Item>& Items() const { return m_Items; }
    // nullptr when no item matches.
    const Item* Find(const std::wstring& path) const;

private:
    bool m_Open = false;
    std::string m_Packed;
    std::vector<unsigned char> m_Unpacked;  // every solid block, one after another
    std::vector<Item> m_Items;
};

}  // namespace SkinUI
