// CControlUI: the light-weight control every element of a layout becomes. A control is a
// rectangle in the window's client area with a background fill, a background image, a
// state image, text and a border, drawn in that order; it receives input as ControlEvents
// from its window's paint manager and tells the window about it through notifications.
//
// Window thread only. A container owns its children; a control knows its manager (once it
// has joined a window) and its parent.
#pragma once

#include <windows.h>

#include <cstdint>
#include <string>

namespace SkinUI {

class CPaintManagerUI;
class CControlUI;

enum class EventType {
    MouseEnter,
    MouseLeave,
    MouseMove,
    ButtonDown,
    ButtonUp,
    DoubleClick,
    KeyDown,
    Char,
    SetFocus,
    KillFocus,
    Timer,
};

struct ControlEvent {
    EventType type = EventType::MouseMove;
    CControlUI* sender = nullptr;
    POINT point{0, 0};  // client coordinates
    WPARAM wParam = 0;  // key code, timer id
    LPARAM lParam = 0;
    DWORD timestamp = 0;
};

class CControlUI {
public:
    CControlUI();
    virtual ~CControlUI();
    CControlUI(const CControlUI&) = delete;
    CControlUI& operator=(const CControlUI&) = delete;

    // The markup element name of the control's class ("Control", "Label", ...).
    virtual std::wstring GetClass() const;
    // This control seen as the named kind (names compare without case), or nullptr.
    virtual void* GetInterface(const std::wstring& name);

    const std::wstring& GetName() const { return m_Name; }
    void SetName(const std::wstring& name) { m_Name = name; }
    CPaintManagerUI* GetManager() const { return m_Manager; }
    CControlUI* GetParent() const { return m_Parent; }
    // Joins (or leaves, with nullptr) a window; `init` runs DoInit once the tree is attached.
    virtual void SetManager(CPaintManagerUI* manager, CControlUI* parent, bool init);
    void Init();

    virtual std::wstring GetText() const { return m_Text; }
    virtual void SetText(const std::wstring& text);
    const std::wstring& GetUserData() const { return m_UserData; }
    void SetUserData(const std::wstring& text) { m_UserData = text; }

    const RECT& GetPos() const { return m_Pos; }
    virtual void SetPos(const RECT& rect);
    int GetFixedWidth() const { return m_FixedWidth; }
    void SetFixedWidth(int width);
    int GetFixedHeight() const { return m_FixedHeight; }
    void SetFixedHeight(int height);
    const RECT& GetPadding() const { return m_Padding; }
    void SetPadding(const RECT& padding);

    bool IsVisible() const { return m_Visible; }
    virtual void SetVisible(bool visible);
    bool IsEnabled() const { return m_Enabled; }
    virtual void SetEnabled(bool enabled);
    bool IsFocused() const { return m_Focused; }
    // Gives this control the keyboard focus of its window.
    virtual void SetFocus();

    std::uint32_t GetBkColor() const { return m_BkColor; }
    void SetBkColor(std::uint32_t argb);
    const std::wstring& GetBkImage() const { return m_BkImage; }
    void SetBkImage(const std::wstring& descriptor);
    void SetBorderSize(int size);
    void SetBorderColor(std::uint32_t argb);
    void SetBorderRound(SIZE round);

    // Asks for a repaint of the control's rectangle.
    void Invalidate();
    // Asks for a new layout (the window lays out its whole tree again before painting).
    void NeedUpdate();
    void NeedParentUpdate();

    // The deepest visible control at a client point, this one included; nullptr outside.
    virtual CControlUI* FindControlAt(POINT point);
    // This control or a descendant with that name; nullptr for an empty name.
    virtual CControlUI* FindControlByName(const std::wstring& name);

    void Event(ControlEvent& event) { DoEvent(event); }
    virtual void DoEvent(ControlEvent& event);
    // What a click or Space/Enter does; false when the control is not usable.
    virtual bool Activate();

    // Paints the parts of the control inside `paint`, clipped to the control.
    virtual void DoPaint(HDC dc, const RECT& paint);
    virtual void PaintBkColor(HDC dc);
    virtual void PaintBkImage(HDC dc);
    virtual void PaintStatusImage(HDC dc);
    virtual void PaintText(HDC dc);
    virtual void PaintBorder(HDC dc);
    // Draws an image descriptor relative to the control; `dest` (relative) overrides the
    // descriptor's own. False when the image is missing or cannot be decoded.
    bool DrawImage(HDC dc, const std::wstring& descriptor, const RECT* dest = nullptr);

    // Unknown names are ignored.
    virtual void SetAttribute(const std::wstring& name, const std::wstring& value);

    // Control timers: the control gets a Timer event and its window a "timer" notification.
    bool SetTimer(UINT timerId, UINT elapse);
    void KillTimer(UINT timerId);

protected:
    virtual void DoInit() {}

    CPaintManagerUI* m_Manager = nullptr;
    CControlUI* m_Parent = nullptr;
    std::wstring m_Name;
    std::wstring m_Text;
    std::wstring m_UserData;
    RECT m_Pos{};
    int m_FixedWidth = 0;
    int m_FixedHeight = 0;
    RECT m_Padding{};
    bool m_Visible = true;
    bool m_Enabled = true;
    bool m_Focused = false;
    std::uint32_t m_BkColor = 0;
    std::wstring m_BkImage;
    int m_BorderSize = 0;
    std::uint32_t m_BorderColor = 0;
    SIZE m_BorderRound{0, 0};
};

}  // namespace SkinUI
