// The two box layouts: CVerticalLayoutUI stacks its children from top to bottom,
// CHorizontalLayoutUI places them from left to right, both by the rule of box_layout.h.
#pragma once

#include "ui/toolkit/container_ui.h"

namespace SkinUI {

class CVerticalLayoutUI : public CContainerUI {
public:
    std::wstring GetClass() const override;
    void* GetInterface(const std::wstring& name) override;
    void SetPos(const RECT& rect) override;
};

class CHorizontalLayoutUI : public CContainerUI {
public:
    std::wstring GetClass() const override;
    void* GetInterface(const std::wstring& name) override;
    void SetPos(const RECT& rect) override;
};

}  // namespace SkinUI
