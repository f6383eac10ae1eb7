// CSkinFrame: the frame every installer window derives from. It takes its layout from a
// SkinSource and, when the layout asks for one ("showshadow"), gives the window a drop
// shadow made by the shadow factory that the installer registers (the toolkit itself
// draws no shadow).
#pragma once

#include <memory>

#include "ui/toolkit/skin_source.h"
#include "ui/toolkit/window_impl_base.h"

namespace SkinUI {

// A window's drop shadow; it lives as long as the frame that asked for it.
class FrameShadow {
public:
    virtual ~FrameShadow() = default;
};

// Makes the shadow for a window whose layout set "showshadow" to "true"; the window's
// custom attributes are readable through `manager`. nullptr: no shadow.
using ShadowFactory = std::unique_ptr<FrameShadow> (*)(HWND window, const CPaintManagerUI& manager);

class CSkinFrame : public WindowImplBase {
public:
    explicit CSkinFrame(const SkinSource& source);
    ~CSkinFrame() override;

    // Process-wide; returns the factory replaced.
    static ShadowFactory SetShadowFactory(ShadowFactory factory);

    const SkinSource& GetSkinSource() const { return m_Source; }
    FrameShadow* GetShadow() const { return m_Shadow.get(); }

protected:
    const wchar_t* GetWindowClassName() const override;
    std::wstring GetSkinFolder() override;
    std::wstring GetSkinFile() override;
    int GetResourceType() const override;
    int GetResourceID() const override;
    // The frame's part of initialisation: frame styles off, shadow on when asked for.
    // Windows that override it call it first.
    void InitWindow() override;

private:
    SkinSource m_Source;
    std::unique_ptr<FrameShadow> m_Shadow;
};

}  // namespace SkinUI
