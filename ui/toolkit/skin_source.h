// SkinSource: where a window's layout comes from. Every installer window uses an archive
// held in a resource (kind 4, id 147) and names its layout file; the window class name is
// the file name up to its last ".".
#pragma once

#include <string>

namespace SkinUI {

constexpr int kSkinResourceKindArchiveResource = 4;
constexpr int kSkinArchiveResourceId = 147;

struct SkinSource {
    int resourceKind = kSkinResourceKindArchiveResource;
    int resourceId = kSkinArchiveResourceId;
    std::wstring skinFolder;
    std::wstring layoutFile;
    std::wstring windowClassName;
};

// The installer's usual source for a layout file, e.g. "MainWnd.xml" → class "MainWnd".
inline SkinSource MakeSkinSource(const std::wstring& layoutFile) {
    SkinSource source;
    source.layoutFile = layoutFile;
    const size_t dot = layoutFile.find_last_of(L'.');
    source.windowClassName = dot == std::wstring::npos ? layoutFile : layoutFile.substr(0, dot);
    return source;
}

}  // namespace SkinUI
