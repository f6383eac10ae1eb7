#include "tests/ui/toolkit/offscreen_layout.h"

#include <windows.h>

#include <algorithm>
#include <cstdlib>

#include "ui/toolkit/skin_source.h"

namespace ToolkitTest {

OffscreenLayout::OffscreenLayout(const std::string& layout, bool fromArchive, SkinUI::IDialogBuilderCallback* hook) {
    if (!m_Manager.LoadSkinArchiveFromResource(::GetModuleHandleW(nullptr), SkinUI::kSkinArchiveResourceId)) {
        m_Error = L"no skin archive embedded";
        return;
    }
    SkinUI::CDialogBuilder builder;
    std::unique_ptr<SkinUI::CControlUI> root =
        fromArchive ? builder.Create(std::wstring(layout.begin(), layout.end()), hook, &m_Manager)
                    : builder.CreateFromText(layout, hook, &m_Manager);
    if (!root) {
        m_Error = builder.GetLastError();
        return;
    }
    m_Manager.AttachDialog(std::move(root));
}

void OffscreenLayout::Render(std::uint32_t background) {
    const SIZE size = m_Manager.GetInitSize();
    if (m_Surface.Width() != size.cx || m_Surface.Height() != size.cy) m_Surface.Create(size.cx, size.cy);
    m_Surface.Fill(background);
    const RECT client{0, 0, size.cx, size.cy};
    m_Manager.Render(m_Surface.Dc(), client, client);
    ::GdiFlush();
}

std::uint32_t BlendOver(std::uint32_t premultiplied, std::uint32_t backgroundRgb) {
    const std::uint32_t alpha = premultiplied >> 24;
    std::uint32_t result = 0;
    for (int shift = 0; shift <= 16; shift += 8) {
        const std::uint32_t source = (premultiplied >> shift) & 0xFF;
        const std::uint32_t target = (backgroundRgb >> shift) & 0xFF;
        result |= std::min<std::uint32_t>(255, source + target * (255 - alpha) / 255) << shift;
    }
    return result;
}

int ChannelDistance(std::uint32_t left, std::uint32_t right) {
    int distance = 0;
    for (int shift = 0; shift <= 16; shift += 8) {
        distance = std::max(distance, std::abs(static_cast<int>((left >> shift) & 0xFF) -
                                               static_cast<int>((right >> shift) & 0xFF)));
    }
    return distance;
}

}  // namespace ToolkitTest
