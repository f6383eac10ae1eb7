// CProgressUI: a horizontal bar; its fill image covers the left part of the bar in
// proportion to (value − minimum) / (maximum − minimum), the image's corners kept.
#pragma once

#include "ui/toolkit/label_ui.h"

namespace SkinUI {

class CProgressUI : public CLabelUI {
public:
    CProgressUI();

    std::wstring GetClass() const override;
    void* GetInterface(const std::wstring& name) override;

    int GetMinValue() const { return m_Min; }
    int GetMaxValue() const { return m_Max; }
    void SetMinValue(int value);
    void SetMaxValue(int value);
    int GetValue() const { return m_Value; }
    // Clamped to the minimum and the maximum.
    void SetValue(int value);
    const std::wstring& GetForeImage() const { return m_ForeImage; }
    void SetForeImage(const std::wstring& descriptor);
    // Width of the filled part for the present value and bar width.
    int FillWidth() const;

    void PaintStatusImage(HDC dc) override;
    void SetAttribute(const std::wstring& name, const std::wstring& value) override;

private:
    int m_Min = 0;
    int m_Max = 100;
    int m_Value = 0;
    std::wstring m_ForeImage;
};

}  // namespace SkinUI
