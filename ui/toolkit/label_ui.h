// CLabelUI: text and/or background image. Text is one line, left-aligned and vertically
// centred in the window's default font unless the markup says otherwise.
#pragma once

#include <cstdint>

#include "ui/toolkit/control_ui.h"

namespace SkinUI {

class CLabelUI : public CControlUI {
public:
    CLabelUI();

    std::wstring GetClass() const override;
    void* GetInterface(const std::wstring& name) override;

    int GetFont() const { return m_FontId; }
    void SetFont(int fontId);
    std::uint32_t GetTextColor() const { return m_TextColor; }
    void SetTextColor(std::uint32_t argb);
    void SetDisabledTextColor(std::uint32_t argb);
    UINT GetTextStyle() const { return m_TextStyle; }
    void SetTextStyle(UINT style);
    const RECT& GetTextPadding() const { return m_TextPadding; }
    void SetTextPadding(const RECT& padding);
    bool IsMultiLine() const { return (m_TextStyle & DT_SINGLELINE) == 0; }
    void SetMultiLine(bool multiline);

    void PaintText(HDC dc) override;
    void SetAttribute(const std::wstring& name, const std::wstring& value) override;

protected:
    // The colour the text is drawn in for the control's present state.
    virtual std::uint32_t CurrentTextColor() const;

    int m_FontId = -1;  // -1: the window's default font
    std::uint32_t m_TextColor = 0xFF000000;
    std::uint32_t m_DisabledTextColor = 0xFFA7A6AA;
    UINT m_TextStyle = DT_LEFT | DT_VCENTER | DT_SINGLELINE;
    RECT m_TextPadding{};
};

}  // namespace SkinUI
