// CButtonUI: a push button. It tracks the mouse (hot while over it, pushed while pressed
// over it) and is clicked when the mouse button is released over the control it was
// pressed on, or by Space or Enter while it has the focus. Its state image is drawn over
// the background image: disabled, pushed, hot or normal.
#pragma once

#include "ui/toolkit/label_ui.h"

namespace SkinUI {

class CButtonUI : public CLabelUI {
public:
    CButtonUI();

    std::wstring GetClass() const override;
    void* GetInterface(const std::wstring& name) override;

    bool Activate() override;
    void SetEnabled(bool enabled) override;
    void DoEvent(ControlEvent& event) override;
    void PaintBkColor(HDC dc) override;
    void PaintStatusImage(HDC dc) override;
    void SetAttribute(const std::wstring& name, const std::wstring& value) override;

    bool IsHot() const { return (m_ButtonState & kHot) != 0; }
    bool IsPushed() const { return (m_ButtonState & kPushed) != 0; }
    void SetNormalImage(const std::wstring& descriptor);
    void SetHotImage(const std::wstring& descriptor);
    void SetPushedImage(const std::wstring& descriptor);
    void SetDisabledImage(const std::wstring& descriptor);

protected:
    std::uint32_t CurrentTextColor() const override;

    static constexpr unsigned kHot = 1;
    static constexpr unsigned kPushed = 2;
    static constexpr unsigned kCaptured = 4;
    unsigned m_ButtonState = 0;

    std::wstring m_NormalImage;
    std::wstring m_HotImage;
    std::wstring m_PushedImage;
    std::wstring m_FocusedImage;
    std::wstring m_DisabledImage;
    std::uint32_t m_HotTextColor = 0;
    std::uint32_t m_PushedTextColor = 0;
    std::uint32_t m_HotBkColor = 0;
    std::uint32_t m_PushedBkColor = 0;
};

}  // namespace SkinUI
