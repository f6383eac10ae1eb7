// The installer's questions and notices: small skinned modal dialogs over the main window,
// one class for all five layouts. The two generic boxes ("MessageBox1Wnd.xml",
// "MessageBox2Wnd.xml") show the caller's text and caption in their "textLbl" and
// "captionLbl"; the three tips carry their wording in the layout.
//
// Window thread only. The dialog's modal loop dispatches every message of the thread, so
// events posted to the main window meanwhile are handled inside ShowMessageBox.
#pragma once

#include <windows.h>

#include <string>

#include "ui/toolkit/skin_frame.h"

// What ShowMessageBox returns.
enum MessageBoxResult : int {
    kMessageBoxOk = 0,      // "okBtn"
    kMessageBoxCancel = 1,  // "cancelBtn", or closed without a click (Alt+F4)
    kMessageBoxOther = 2,   // any other control's click, normally "closebtn"
};

class CMessageBoxWnd : public SkinUI::CSkinFrame {
public:
    explicit CMessageBoxWnd(const SkinUI::SkinSource& source);

    int GetResult() const { return m_Result; }
    void SetText(const wchar_t* text);
    void SetCaption(const wchar_t* caption);

protected:
    LRESULT HandleMessage(UINT uMsg, WPARAM wParam, LPARAM lParam) override;

public:
    ~CMessageBoxWnd() override;

protected:
    void InitWindow() override;
    void OnClick(SkinUI::NotifyRecord& msg) override;

private:
    int m_Result = kMessageBoxCancel;
    SkinUI::CControlUI* m_OkButton = nullptr;
    SkinUI::CControlUI* m_CancelButton = nullptr;
    SkinUI::CControlUI* m_TextLabel = nullptr;
    SkinUI::CControlUI* m_CaptionLabel = nullptr;
};

// Shows the layout of `source` modally over `owner` with the text and caption (either may be
// nullptr: not shown) and returns a MessageBoxResult.
int ShowMessageBox(HWND owner, const SkinUI::SkinSource& source, const wchar_t* text, const wchar_t* caption);
