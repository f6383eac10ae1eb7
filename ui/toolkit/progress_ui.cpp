#include "ui/toolkit/progress_ui.h"

#include "ui/toolkit/markup_values.h"

namespace SkinUI {

CProgressUI::CProgressUI() {
    m_FixedHeight = 12;
    m_TextStyle = DT_SINGLELINE | DT_VCENTER | DT_CENTER;
}

std::wstring CProgressUI::GetClass() const { return L"Progress"; }

void* CProgressUI::GetInterface(const std::wstring& name) {
    if (EqualsNoCase(name, L"Progress")) return this;
    return CLabelUI::GetInterface(name);
}

void CProgressUI::SetMinValue(int value) {
    m_Min = value;
    SetValue(m_Value);
    Invalidate();
}

void CProgressUI::SetMaxValue(int value) {
    m_Max = value;
    SetValue(m_Value);
    Invalidate();
}

void CProgressUI::SetValue(int value) {
    if (value > m_Max) value = m_Max;
    if (value < m_Min) value = m_Min;
    if (value == m_Value) return;
    m_Value = value;
    Invalidate();
}

void CProgressUI::SetForeImage(const std::wstring& descriptor) {
    m_ForeImage = descriptor;
    Invalidate();
}

int CProgressUI::FillWidth() const {
    if (m_Max <= m_Min) return 0;
    const long long width = m_Pos.right - m_Pos.left;
    return static_cast<int>(width * (m_Value - m_Min) / (m_Max - m_Min));
}

void CProgressUI::PaintStatusImage(HDC dc) {
    const int fill = FillWidth();
    if (fill <= 0 || m_ForeImage.empty()) return;
    const RECT dest{0, 0, fill, m_Pos.bottom - m_Pos.top};
    DrawImage(dc, m_ForeImage, &dest);
}

void CProgressUI::SetAttribute(const std::wstring& name, const std::wstring& value) {
    if (name == L"foreimage") SetForeImage(value);
    else if (name == L"min") SetMinValue(ParseIntValue(value));
    else if (name == L"max") SetMaxValue(ParseIntValue(value));
    else if (name == L"value") SetValue(ParseIntValue(value));
    else if (name == L"hor") {
        // Only horizontal bars are drawn; the attribute is accepted for compatibility.
    } else CLabelUI::SetAttribute(name, value);
}

}  // namespace SkinUI
