#include "ui/message_box_wnd.h"

#include "ui/installer_window_styles.h"
#include "utils/debug_trace.h"

CMessageBoxWnd::CMessageBoxWnd(const SkinUI::SkinSource& source) : CSkinFrame(source) {}

CMessageBoxWnd::~CMessageBoxWnd() = default;

LRESULT CMessageBoxWnd::HandleMessage(UINT uMsg, WPARAM wParam, LPARAM lParam) {
    return CSkinFrame::HandleMessage(uMsg, wParam, lParam);
}

void CMessageBoxWnd::InitWindow() {
    CSkinFrame::InitWindow();
    ApplyInstallerWindowStyles(m_hWnd);
    m_OkButton = FindControl(L"okBtn");
    m_CancelButton = FindControl(L"cancelBtn");
    m_TextLabel = FindControl(L"textLbl");
    m_CaptionLabel = FindControl(L"captionLbl");
}

void CMessageBoxWnd::SetText(const wchar_t* text) {
    if (text != nullptr && m_TextLabel != nullptr) m_TextLabel->SetText(text);
}

void CMessageBoxWnd::SetCaption(const wchar_t* caption) {
    if (caption != nullptr && m_CaptionLabel != nullptr) m_CaptionLabel->SetText(caption);
}

void CMessageBoxWnd::OnClick(SkinUI::NotifyRecord& msg) {
    // Closing is a posted request: the result is set before the dialog goes.
    if (msg.sender != nullptr && msg.sender == m_OkButton) {
        Close(1);
        m_Result = kMessageBoxOk;
    } else if (msg.sender != nullptr && msg.sender == m_CancelButton) {
        Close(1);
        m_Result = kMessageBoxCancel;
    } else {
        CSkinFrame::OnClick(msg);
        m_Result = kMessageBoxOther;
    }
}

int ShowMessageBox(HWND owner, const SkinUI::SkinSource& source, const wchar_t* text, const wchar_t* caption) {
    Utils::TraceAt(L"ShowMessageBox", __LINE__, L"show %s", source.layoutFile.c_str());
    CMessageBoxWnd dialog(source);
    if (dialog.Create(owner, L"消息框", WS_VISIBLE | WS_OVERLAPPEDWINDOW, 0) == nullptr) return dialog.GetResult();
    dialog.SetText(text);
    dialog.SetCaption(caption);
    dialog.CenterWindow();
    dialog.ShowModal();
    Utils::TraceAt(L"ShowMessageBox", __LINE__, L"%s answered %d", source.layoutFile.c_str(), dialog.GetResult());
    return dialog.GetResult();
}
