#include "ui/toolkit/label_ui.h"

#include "ui/toolkit/markup_values.h"
#include "ui/toolkit/paint_manager.h"
#include "ui/toolkit/render_engine.h"

namespace SkinUI {

namespace {

// Applies the markup's "align" and "valign" texts: each value is searched for the words.
UINT ApplyAlign(UINT style, const std::wstring& value) {
    if (value.find(L"left") != std::wstring::npos) style = (style & ~(DT_CENTER | DT_RIGHT)) | DT_LEFT;
    if (value.find(L"center") != std::wstring::npos) style = (style & ~(DT_LEFT | DT_RIGHT)) | DT_CENTER;
    if (value.find(L"right") != std::wstring::npos) style = (style & ~(DT_LEFT | DT_CENTER)) | DT_RIGHT;
    return style;
}

UINT ApplyVerticalAlign(UINT style, const std::wstring& value) {
    if (value.find(L"top") != std::wstring::npos) style = (style & ~(DT_BOTTOM | DT_VCENTER)) | DT_TOP;
    if (value.find(L"vcenter") != std::wstring::npos) style = (style & ~(DT_TOP | DT_BOTTOM)) | DT_VCENTER;
    if (value.find(L"bottom") != std::wstring::npos) style = (style & ~(DT_TOP | DT_VCENTER)) | DT_BOTTOM;
    return style;
}

}  // namespace

CLabelUI::CLabelUI() = default;

std::wstring CLabelUI::GetClass() const { return L"Label"; }

void* CLabelUI::GetInterface(const std::wstring& name) {
    if (EqualsNoCase(name, L"Label")) return this;
    return CControlUI::GetInterface(name);
}

void CLabelUI::SetFont(int fontId) {
    m_FontId = fontId;
    Invalidate();
}

void CLabelUI::SetTextColor(std::uint32_t argb) {
    m_TextColor = argb;
    Invalidate();
}

void CLabelUI::SetDisabledTextColor(std::uint32_t argb) {
    m_DisabledTextColor = argb;
    Invalidate();
}

void CLabelUI::SetTextStyle(UINT style) {
    m_TextStyle = style;
    Invalidate();
}

void CLabelUI::SetTextPadding(const RECT& padding) {
    m_TextPadding = padding;
    Invalidate();
}

void CLabelUI::SetMultiLine(bool multiline) {
    if (multiline) m_TextStyle = (m_TextStyle & ~DT_SINGLELINE) | DT_WORDBREAK;
    else m_TextStyle = (m_TextStyle & ~DT_WORDBREAK) | DT_SINGLELINE;
    Invalidate();
}

std::uint32_t CLabelUI::CurrentTextColor() const { return m_Enabled ? m_TextColor : m_DisabledTextColor; }

void CLabelUI::PaintText(HDC dc) {
    const std::wstring text = GetText();
    if (text.empty()) return;
    RECT area{m_Pos.left + m_TextPadding.left, m_Pos.top + m_TextPadding.top, m_Pos.right - m_TextPadding.right,
              m_Pos.bottom - m_TextPadding.bottom};
    HFONT font = m_Manager != nullptr ? m_Manager->GetFont(m_FontId) : nullptr;
    Render::PaintText(dc, area, text, CurrentTextColor(), font, m_TextStyle);
}

void CLabelUI::SetAttribute(const std::wstring& name, const std::wstring& value) {
    if (name == L"font") {
        SetFont(ParseIntValue(value));
    } else if (name == L"align") {
        SetTextStyle(ApplyAlign(m_TextStyle, value));
    } else if (name == L"valign") {
        SetTextStyle(ApplyVerticalAlign(m_TextStyle, value));
    } else if (name == L"textcolor") {
        SetTextColor(ParseColour(value));
    } else if (name == L"disabledtextcolor") {
        SetDisabledTextColor(ParseColour(value));
    } else if (name == L"textpadding") {
        SetTextPadding(ParseRectValue(value));
    } else if (name == L"multiline") {
        SetMultiLine(ParseBoolValue(value));
    } else {
        CControlUI::SetAttribute(name, value);
    }
}

}  // namespace SkinUI
