// CPaintManagerUI: one per window. It holds the window's skin (archive, fonts, decoded
// images, custom window attributes), owns the control tree, lays it out and paints it
// through a back buffer, turns mouse and keyboard messages into control events, runs the
// control timers and delivers notifications to the window's notifiers, at once or queued.
//
// Window thread only, except QueueNotify-style calls (SendNotify with async), which any
// thread may make: the record is queued under a lock and delivered on the window thread.
#pragma once

#include <windows.h>

#include <cstdint>
#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <unordered_map>
#include <utility>
#include <vector>

#include "ui/toolkit/control_ui.h"
#include "ui/toolkit/dib_surface.h"
#include "ui/toolkit/gdi_handles.h"
#include "ui/toolkit/image_descriptor.h"
#include "ui/toolkit/notify.h"
#include "ui/toolkit/skin_archive.h"
#include "ui/toolkit/skin_image.h"

namespace SkinUI {

class CEditUI;

struct FontInfo {
    std::wstring name;
    int size = 12;
    bool bold = false;
    bool underline = false;
    bool italic = false;
};

class CPaintManagerUI {
public:
    CPaintManagerUI();
    ~CPaintManagerUI();
    CPaintManagerUI(const CPaintManagerUI&) = delete;
    CPaintManagerUI& operator=(const CPaintManagerUI&) = delete;

    // Process-wide: the module whose resources and window classes are used, and the
    // resource folder on disk (ends with a backslash).
    static HINSTANCE GetInstance();
    static void SetInstance(HINSTANCE instance);
    static const std::wstring& GetResourcePath();
    static void SetResourcePath(const std::wstring& path);

    // Process-wide table of multi-language strings; nullptr for an absent number.
    static void AddMultiLanguageString(int id, const std::wstring& text);
    static const wchar_t* GetMultiLanguageString(int id);
    static void RemoveAllMultiLanguageStrings();

    // Runs the pre-translation filters of the window a message is for (or of the window
    // that owns the child it is for). True when a filter handled it: do not dispatch it.
    static bool TranslateMessage(const MSG* msg);

    // Binds the manager to its window; nullptr unbinds it (the window is gone).
    void Init(HWND window);
    HWND GetPaintWindow() const { return m_Window; }

    // The skin. Loading drops the images decoded from an earlier archive.
    bool LoadSkinArchiveFromResource(HMODULE module, int resourceId);
    bool LoadSkinArchive(std::string bytes);
    bool HasSkinArchive() const { return m_Archive.IsOpen(); }
    const SkinArchive& GetSkinArchive() const { return m_Archive; }
    // Bytes of a skin item: from the archive when one is loaded, else from the resource
    // folder on disk. False when absent.
    bool ReadSkinItem(const std::wstring& path, std::string* bytes) const;

    // Decoded once per file and mask, then kept; nullptr when missing or undecodable.
    const SkinImage* GetImage(const std::wstring& file, bool useMask = false, std::uint32_t mask = 0);
    const ImageDescriptor& GetDescriptor(const std::wstring& text);

    // Fonts of the window's layout.
    void AddFont(int id, const FontInfo& info, bool isDefault);
    // The font with that id, else the default font (a layout's default or the system's).
    HFONT GetFont(int id) const;
    SIZE MeasureText(int fontId, const std::wstring& text) const;

    // Window attributes from the layout.
    void SetInitSize(int width, int height);
    SIZE GetInitSize() const { return m_InitSize; }
    void SetCaptionRect(const RECT& caption) { m_Caption = caption; }
    const RECT& GetCaptionRect() const { return m_Caption; }
    void SetRoundCorner(SIZE round) { m_RoundCorner = round; }
    SIZE GetRoundCorner() const { return m_RoundCorner; }
    void AddWindowCustomAttribute(const std::wstring& name, const std::wstring& value);
    // nullptr when the layout did not set it (names compare without case).
    const wchar_t* GetWindowCustomAttribute(const std::wstring& name) const;

    // The control tree. Attaching replaces (and destroys) an earlier tree.
    bool AttachDialog(std::unique_ptr<CControlUI> root);
    CControlUI* GetRoot() const { return m_Root.get(); }
    void ReleaseRoot();
    CControlUI* FindControl(const std::wstring& name) const;
    CControlUI* FindControl(POINT point) const;

    // Layout and painting.
    void NeedUpdate();
    void Invalidate(const RECT& rect);
    // Lays the tree out over the client area (without a window: over the layout's size)
    // when something asked for it.
    void UpdateLayout();
    // Lays the tree out over `client` and paints the parts inside `paint` into `dc`.
    void Render(HDC dc, const RECT& client, const RECT& paint);

    // Focus and input.
    CControlUI* GetFocus() const { return m_Focus; }
    void SetFocus(CControlUI* control);
    CControlUI* GetHot() const { return m_Hover; }
    // Last mouse position seen, in client coordinates.
    POINT GetMousePos() const { return m_LastMouse; }

    // Notifications. Queued ones are delivered later on the window's thread.
    void AddNotifier(INotifyUI* notifier);
    void RemoveNotifier(INotifyUI* notifier);
    void SendNotify(CControlUI* control, const std::wstring& type, WPARAM wParam = 0, LPARAM lParam = 0,
                    bool async = false);
    void SendNotify(NotifyRecord& msg, bool async = false);

    void AddPreMessageFilter(IMessageFilterUI* filter);
    void RemovePreMessageFilter(IMessageFilterUI* filter);

    // Control timers: killing a timer that does not exist does nothing.
    bool SetTimer(CControlUI* control, UINT timerId, UINT elapse);
    void KillTimer(CControlUI* control, UINT timerId);
    void KillTimer(CControlUI* control);

    // Called by controls: one is going away or being hidden.
    void ReapControl(CControlUI* control);
    void ControlHidden(CControlUI* control);
    void SetActiveEdit(HWND window, CEditUI* edit);

    // The window's messages; true when the manager handled the message (result in `result`).
    bool MessageHandler(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result);

private:
    struct TimerEntry {
        CControlUI* control;
        UINT timerId;
        UINT_PTR nativeId;
    };

    bool PreMessageHandler(const MSG* msg);
    void Paint();
    void DeliverQueuedNotifications();
    void OnMouseMove(POINT point, WPARAM keys);
    void OnMouseLeave();
    void OnButtonDown(POINT point, WPARAM keys, bool doubleClick);
    void OnButtonUp(POINT point, WPARAM keys);
    void SendEvent(CControlUI* control, EventType type, POINT point, WPARAM wParam = 0, LPARAM lParam = 0);
    void LayoutIfNeeded(const RECT& client);

    HWND m_Window = nullptr;
    SkinArchive m_Archive;
    std::unordered_map<std::wstring, std::unique_ptr<SkinImage>> m_Images;  // by path and mask
    std::unordered_map<std::wstring, ImageDescriptor> m_Descriptors;
    std::map<int, std::pair<FontInfo, UniqueFont>> m_Fonts;
    int m_DefaultFontId = -1;

    SIZE m_InitSize{0, 0};
    RECT m_Caption{};
    SIZE m_RoundCorner{0, 0};
    std::vector<std::pair<std::wstring, std::wstring>> m_CustomAttributes;

    std::unique_ptr<CControlUI> m_Root;
    bool m_NeedLayout = true;
    bool m_FirstLayout = true;
    RECT m_LaidOut{};
    DibSurface m_BackBuffer;

    CControlUI* m_Focus = nullptr;
    CControlUI* m_Hover = nullptr;
    CControlUI* m_Captured = nullptr;
    bool m_TrackingMouse = false;
    POINT m_LastMouse{0, 0};
    HWND m_ActiveEditWindow = nullptr;
    CEditUI* m_ActiveEdit = nullptr;

    std::vector<INotifyUI*> m_Notifiers;
    std::vector<IMessageFilterUI*> m_PreMessageFilters;
    std::mutex m_QueueLock;  // guards m_Queued, which other threads may fill
    std::vector<NotifyRecord> m_Queued;
    std::vector<TimerEntry> m_Timers;
    UINT_PTR m_NextTimerId = 0x1000;
};

}  // namespace SkinUI
