// Test helper: a layout built against the skin archive embedded in the test program and
// rendered into a memory bitmap, without any window.
#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "ui/toolkit/dialog_builder.h"
#include "ui/toolkit/dib_surface.h"
#include "ui/toolkit/paint_manager.h"

namespace ToolkitTest {

class OffscreenLayout {
public:
    // Builds from layout text (UTF-8) or, with `fromArchive`, from the archive item of that name.
    explicit OffscreenLayout(const std::string& layout, bool fromArchive = false,
                             SkinUI::IDialogBuilderCallback* hook = nullptr);

    bool IsBuilt() const { return m_Manager.GetRoot() != nullptr; }
    SkinUI::CPaintManagerUI& Manager() { return m_Manager; }
    SkinUI::CControlUI* Find(const wchar_t* name) { return m_Manager.FindControl(name); }
    template <typename Control>
    Control* FindAs(const wchar_t* name) {
        return dynamic_cast<Control*>(m_Manager.FindControl(name));
    }

    // Fills the surface with `background`, then lays out and paints the whole tree.
    void Render(std::uint32_t background = 0xFF000000);
    // The rendered pixel as 0x00RRGGBB (GDI leaves the alpha byte undefined).
    std::uint32_t Rgb(int x, int y) const { return m_Surface.Pixel(x, y) & 0x00FFFFFF; }
    const SkinUI::DibSurface& Surface() const { return m_Surface; }
    const std::wstring& Error() const { return m_Error; }

private:
    SkinUI::CPaintManagerUI m_Manager;
    SkinUI::DibSurface m_Surface;
    std::wstring m_Error;
};

// The colour an image's premultiplied pixel leaves on an opaque background, 0x00RRGGBB.
std::uint32_t BlendOver(std::uint32_t premultiplied, std::uint32_t backgroundRgb);
// Largest difference of the three channels.
int ChannelDistance(std::uint32_t left, std::uint32_t right);

}  // namespace ToolkitTest
