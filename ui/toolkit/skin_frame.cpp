#include "ui/toolkit/skin_frame.h"

#include "ui/toolkit/markup_values.h"

namespace SkinUI {

namespace {

ShadowFactory g_ShadowFactory = nullptr;

}  // namespace

CSkinFrame::CSkinFrame(const SkinSource& source) : m_Source(source) {}

CSkinFrame::~CSkinFrame() = default;

ShadowFactory CSkinFrame::SetShadowFactory(ShadowFactory factory) {
    ShadowFactory previous = g_ShadowFactory;
    g_ShadowFactory = factory;
    return previous;
}

const wchar_t* CSkinFrame::GetWindowClassName() const { return m_Source.windowClassName.c_str(); }

std::wstring CSkinFrame::GetSkinFolder() { return m_Source.skinFolder; }

std::wstring CSkinFrame::GetSkinFile() { return m_Source.layoutFile; }

int CSkinFrame::GetResourceType() const { return m_Source.resourceKind; }

int CSkinFrame::GetResourceID() const { return m_Source.resourceId; }

void CSkinFrame::InitWindow() {
    LONG_PTR style = ::GetWindowLongPtrW(m_hWnd, GWL_STYLE);
    style &= ~(WS_CAPTION | WS_MAXIMIZEBOX);
    ::SetWindowLongPtrW(m_hWnd, GWL_STYLE, style);
    const wchar_t* showShadow = m_PaintManager.GetWindowCustomAttribute(L"showshadow");
    if (showShadow != nullptr && EqualsNoCase(showShadow, L"true") && g_ShadowFactory != nullptr && !m_Shadow) {
        m_Shadow = g_ShadowFactory(m_hWnd, m_PaintManager);
    }
}

}  // namespace SkinUI
