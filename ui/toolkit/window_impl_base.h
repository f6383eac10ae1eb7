// WindowImplBase: the base of every skinned window. On creation it strips the system
// frame, loads the skin archive and the layout, builds the control tree and calls
// InitWindow; afterwards it routes messages through its handlers, the custom-message
// handler and the paint manager, and hands notifications to Notify (clicks to OnClick).
//
// A layout that cannot be loaded is fatal: a message box says so and the process ends
// with exit code 1 (tests may replace that action).
#pragma once

#include <windows.h>

#include <string>

#include "ui/toolkit/notify.h"
#include "ui/toolkit/paint_manager.h"
#include "ui/toolkit/window_wnd.h"

namespace SkinUI {

class WindowImplBase : public CWindowWnd, public INotifyUI, public IMessageFilterUI, public IDialogBuilderCallback {
public:
    // What happens when a window's layout cannot be loaded; returns the action replaced.
    using LayoutFailureAction = void (*)();
    static LayoutFailureAction SetLayoutFailureAction(LayoutFailureAction action);

    WindowImplBase();

    CPaintManagerUI& GetPaintManager() { return m_PaintManager; }
    // nullptr when the tree has no control of that name (or the name is empty).
    CControlUI* FindControl(const std::wstring& name) const;

    void Notify(NotifyRecord& msg) override;
    LRESULT MessageHandler(UINT uMsg, WPARAM wParam, LPARAM lParam, bool& handled) override;
    std::unique_ptr<CControlUI> CreateControl(const wchar_t* className) override;

protected:
    const wchar_t* GetWindowClassName() const override = 0;
    const wchar_t* GetSuperClassName() const override;
    UINT GetClassStyle() const override;
    LRESULT HandleMessage(UINT uMsg, WPARAM wParam, LPARAM lParam) override;
    void OnFinalMessage(HWND hWnd) override;

public:
    ~WindowImplBase() override;

protected:
    virtual void InitWindow();
    virtual void OnClick(NotifyRecord& msg);
    virtual std::wstring GetSkinFolder() = 0;
    virtual std::wstring GetSkinFile() = 0;
    virtual LRESULT ResponseDefaultKeyEvent(WPARAM wParam);
    virtual int GetResourceType() const;
    virtual std::wstring GetZIPFileName() const;
    virtual int GetResourceID() const;

    virtual LRESULT OnClose(UINT uMsg, WPARAM wParam, LPARAM lParam, BOOL& bHandled);
    virtual LRESULT OnDestroy(UINT uMsg, WPARAM wParam, LPARAM lParam, BOOL& bHandled);
    virtual LRESULT OnNcActivate(UINT uMsg, WPARAM wParam, LPARAM lParam, BOOL& bHandled);
    virtual LRESULT OnNcCalcSize(UINT uMsg, WPARAM wParam, LPARAM lParam, BOOL& bHandled);
    virtual LRESULT OnNcPaint(UINT uMsg, WPARAM wParam, LPARAM lParam, BOOL& bHandled);
    virtual LRESULT OnNcHitTest(UINT uMsg, WPARAM wParam, LPARAM lParam, BOOL& bHandled);
    virtual LRESULT OnGetMinMaxInfo(UINT uMsg, WPARAM wParam, LPARAM lParam, BOOL& bHandled);
    virtual LRESULT OnMouseWheel(UINT uMsg, WPARAM wParam, LPARAM lParam, BOOL& bHandled);
    virtual LRESULT OnMouseHover(UINT uMsg, WPARAM wParam, LPARAM lParam, BOOL& bHandled);
    virtual LRESULT OnSize(UINT uMsg, WPARAM wParam, LPARAM lParam, BOOL& bHandled);
    virtual LRESULT OnChar(UINT uMsg, WPARAM wParam, LPARAM lParam, BOOL& bHandled);
    virtual LRESULT OnSysCommand(UINT uMsg, WPARAM wParam, LPARAM lParam, BOOL& bHandled);
    virtual LRESULT OnCreate(UINT uMsg, WPARAM wParam, LPARAM lParam, BOOL& bHandled);
    virtual LRESULT OnKeyDown(UINT uMsg, WPARAM wParam, LPARAM lParam, BOOL& bHandled);
    virtual LRESULT OnKillFocus(UINT uMsg, WPARAM wParam, LPARAM lParam, BOOL& bHandled);
    virtual LRESULT OnSetFocus(UINT uMsg, WPARAM wParam, LPARAM lParam, BOOL& bHandled);
    virtual LRESULT OnLButtonDown(UINT uMsg, WPARAM wParam, LPARAM lParam, BOOL& bHandled);
    virtual LRESULT OnLButtonUp(UINT uMsg, WPARAM wParam, LPARAM lParam, BOOL& bHandled);
    virtual LRESULT OnMouseMove(UINT uMsg, WPARAM wParam, LPARAM lParam, BOOL& bHandled);
    virtual LRESULT HandleCustomMessage(UINT uMsg, WPARAM wParam, LPARAM lParam, BOOL& bHandled);
    virtual LONG GetStyle();

    // Sets the window region from the layout's "roundcorner" for the present size.
    void ApplyRoundCorner();

    CPaintManagerUI m_PaintManager;
};

}  // namespace SkinUI
