// What the toolkit hands to a window: the notification record and the three interfaces a
// window implements to receive notifications, filter messages and create controls the
// toolkit does not know.
#pragma once

#include <windows.h>

#include <memory>
#include <string>

namespace SkinUI {

class CControlUI;

// Notification names the toolkit sends.
namespace NotifyType {
constexpr const wchar_t kClick[] = L"click";
constexpr const wchar_t kSelectChanged[] = L"selectchanged";
constexpr const wchar_t kTabSelect[] = L"tabselect";
constexpr const wchar_t kTimer[] = L"timer";
constexpr const wchar_t kItemSelect[] = L"itemselect";
constexpr const wchar_t kWindowInit[] = L"windowinit";
constexpr const wchar_t kSetFocus[] = L"setfocus";
constexpr const wchar_t kKillFocus[] = L"killfocus";
constexpr const wchar_t kTextChanged[] = L"textchanged";
}  // namespace NotifyType

struct NotifyRecord {
    std::wstring type;
    std::wstring virtualWindow;  // empty for every window of the installer
    CControlUI* sender = nullptr;
    DWORD timestamp = 0;  // tick count when sent
    POINT point{0, 0};    // mouse position for input notifications, else 0,0
    WPARAM wParam = 0;
    LPARAM lParam = 0;
};

class INotifyUI {
public:
    virtual void Notify(NotifyRecord& msg) = 0;

protected:
    ~INotifyUI() = default;
};

class IMessageFilterUI {
public:
    // Sets `handled` to stop the message here.
    virtual LRESULT MessageHandler(UINT uMsg, WPARAM wParam, LPARAM lParam, bool& handled) = 0;

protected:
    ~IMessageFilterUI() = default;
};

class IDialogBuilderCallback {
public:
    // Asked for every element name the toolkit does not know; nullptr skips the element.
    virtual std::unique_ptr<CControlUI> CreateControl(const wchar_t* className) = 0;

protected:
    ~IDialogBuilderCallback() = default;
};

}  // namespace SkinUI
