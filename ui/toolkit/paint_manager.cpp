#include "ui/toolkit/paint_manager.h"

#include <windowsx.h>

#include <algorithm>
#include <cstdio>
#include <cwchar>

#include "ui/toolkit/edit_ui.h"
#include "ui/toolkit/markup_values.h"
#include "ui/toolkit/render_engine.h"

namespace SkinUI {

namespace {

// Posted to the window when a queued notification waits for delivery.
constexpr UINT kQueuedNotifyMessage = WM_APP + 0x100;

HINSTANCE g_Instance = nullptr;

std::wstring& ResourcePath() {
    static std::wstring path;
    return path;
}

struct StringTable {
    std::mutex lock;
    std::map<int, std::wstring> strings;
};

StringTable& MultiLanguageStrings() {
    static StringTable table;
    return table;
}

// Every live manager with a window, for the message loop's pre-translation.
std::vector<CPaintManagerUI*>& LiveManagers() {
    static std::vector<CPaintManagerUI*> managers;
    return managers;
}

bool IsWithin(const CControlUI* control, const CControlUI* ancestor) {
    for (const CControlUI* c = control; c != nullptr; c = c->GetParent()) {
        if (c == ancestor) return true;
    }
    return false;
}

std::wstring ImageKey(const std::wstring& file, bool useMask, std::uint32_t mask) {
    std::wstring key = file;
    std::replace(key.begin(), key.end(), L'\\', L'/');
    key = ToLower(key);
    if (useMask) {
        wchar_t suffix[16];
        std::swprintf(suffix, 16, L"|%08X", mask);
        key += suffix;
    }
    return key;
}

}  // namespace

CPaintManagerUI::CPaintManagerUI() = default;

CPaintManagerUI::~CPaintManagerUI() {
    ReleaseRoot();
    if (m_Window != nullptr && ::IsWindow(m_Window)) {
        for (const TimerEntry& timer : m_Timers) ::KillTimer(m_Window, timer.nativeId);
    }
    m_Timers.clear();
    auto& managers = LiveManagers();
    managers.erase(std::remove(managers.begin(), managers.end(), this), managers.end());
}

HINSTANCE CPaintManagerUI::GetInstance() {
    return g_Instance != nullptr ? g_Instance : ::GetModuleHandleW(nullptr);
}

void CPaintManagerUI::SetInstance(HINSTANCE instance) { g_Instance = instance; }

const std::wstring& CPaintManagerUI::GetResourcePath() { return ResourcePath(); }

void CPaintManagerUI::SetResourcePath(const std::wstring& path) {
    ResourcePath() = path;
    if (!path.empty() && path.back() != L'\\' && path.back() != L'/') ResourcePath() += L'\\';
}

void CPaintManagerUI::AddMultiLanguageString(int id, const std::wstring& text) {
    StringTable& table = MultiLanguageStrings();
    std::lock_guard<std::mutex> guard(table.lock);
    table.strings[id] = text;
}

const wchar_t* CPaintManagerUI::GetMultiLanguageString(int id) {
    StringTable& table = MultiLanguageStrings();
    std::lock_guard<std::mutex> guard(table.lock);
    auto found = table.strings.find(id);
    return found == table.strings.end() ? nullptr : found->second.c_str();
}

void CPaintManagerUI::RemoveAllMultiLanguageStrings() {
    StringTable& table = MultiLanguageStrings();
    std::lock_guard<std::mutex> guard(table.lock);
    table.strings.clear();
}

bool CPaintManagerUI::TranslateMessage(const MSG* msg) {
    if (msg == nullptr || msg->hwnd == nullptr) return false;
    const std::vector<CPaintManagerUI*> managers = LiveManagers();
    for (CPaintManagerUI* manager : managers) {
        HWND window = manager->m_Window;
        if (window == nullptr) continue;
        if (msg->hwnd == window || ::IsChild(window, msg->hwnd)) {
            if (manager->PreMessageHandler(msg)) return true;
        }
    }
    return false;
}

bool CPaintManagerUI::PreMessageHandler(const MSG* msg) {
    const std::vector<IMessageFilterUI*> filters = m_PreMessageFilters;
    for (IMessageFilterUI* filter : filters) {
        bool handled = false;
        filter->MessageHandler(msg->message, msg->wParam, msg->lParam, handled);
        if (handled) return true;
    }
    return false;
}

void CPaintManagerUI::Init(HWND window) {
    m_Window = window;
    auto& managers = LiveManagers();
    managers.erase(std::remove(managers.begin(), managers.end(), this), managers.end());
    if (window != nullptr) managers.push_back(this);
}

bool CPaintManagerUI::LoadSkinArchiveFromResource(HMODULE module, int resourceId) {
    m_Images.clear();
    return m_Archive.OpenResource(module, resourceId);
}

bool CPaintManagerUI::LoadSkinArchive(std::string bytes) {
    m_Images.clear();
    return m_Archive.Open(std::move(bytes));
}

bool CPaintManagerUI::ReadSkinItem(const std::wstring& path, std::string* bytes) const {
    if (m_Archive.IsOpen()) {
        const SkinArchive::Item* item = m_Archive.Find(path);
        if (item == nullptr) return false;
        bytes->assign(reinterpret_cast<const char*>(item->data), item->size);
        return true;
    }
    std::wstring file = GetResourcePath() + path;
    std::replace(file.begin(), file.end(), L'/', L'\\');
    FILE* stream = ::_wfopen(file.c_str(), L"rb");
    if (stream == nullptr) return false;
    bytes->clear();
    char buffer[16384];
    size_t count = 0;
    while ((count = std::fread(buffer, 1, sizeof(buffer), stream)) > 0) bytes->append(buffer, count);
    std::fclose(stream);
    return true;
}

const SkinImage* CPaintManagerUI::GetImage(const std::wstring& file, bool useMask, std::uint32_t mask) {
    if (file.empty()) return nullptr;
    const std::wstring key = ImageKey(file, useMask, mask);
    auto found = m_Images.find(key);
    if (found != m_Images.end()) return found->second.get();

    std::unique_ptr<SkinImage> image;
    if (m_Archive.IsOpen()) {
        if (const SkinArchive::Item* item = m_Archive.Find(file)) {
            image = SkinImage::Decode(item->data, item->size, useMask, mask);
        }
    } else {
        std::string bytes;
        if (ReadSkinItem(file, &bytes)) image = SkinImage::Decode(bytes.data(), bytes.size(), useMask, mask);
    }
    // A missing image is remembered too, so it is looked up once.
    const SkinImage* result = image.get();
    m_Images.emplace(key, std::move(image));
    return result;
}

const ImageDescriptor& CPaintManagerUI::GetDescriptor(const std::wstring& text) {
    auto found = m_Descriptors.find(text);
    if (found != m_Descriptors.end()) return found->second;
    return m_Descriptors.emplace(text, ParseImageDescriptor(text)).first->second;
}

void CPaintManagerUI::AddFont(int id, const FontInfo& info, bool isDefault) {
    LOGFONTW logFont{};
    ::GetObjectW(::GetStockObject(DEFAULT_GUI_FONT), sizeof(logFont), &logFont);
    std::wcsncpy(logFont.lfFaceName, info.name.c_str(), LF_FACESIZE - 1);
    logFont.lfFaceName[LF_FACESIZE - 1] = L'\0';
    logFont.lfHeight = -info.size;
    if (info.bold) logFont.lfWeight += FW_BOLD;
    logFont.lfUnderline = info.underline ? TRUE : FALSE;
    logFont.lfItalic = info.italic ? TRUE : FALSE;
    logFont.lfCharSet = DEFAULT_CHARSET;
    UniqueFont font(::CreateFontIndirectW(&logFont));
    if (!font) return;
    m_Fonts[id] = std::make_pair(info, std::move(font));
    if (isDefault) m_DefaultFontId = id;
    NeedUpdate();
}

HFONT CPaintManagerUI::GetFont(int id) const {
    auto found = m_Fonts.find(id);
    if (found == m_Fonts.end()) found = m_Fonts.find(m_DefaultFontId);
    if (found != m_Fonts.end()) return found->second.second.get();
    return static_cast<HFONT>(::GetStockObject(DEFAULT_GUI_FONT));
}

SIZE CPaintManagerUI::MeasureText(int fontId, const std::wstring& text) const {
    HDC dc = ::GetDC(m_Window);
    const SIZE size = Render::MeasureText(dc, GetFont(fontId), text);
    ::ReleaseDC(m_Window, dc);
    return size;
}

void CPaintManagerUI::SetInitSize(int width, int height) {
    m_InitSize = SIZE{width, height};
    if (m_Window != nullptr) {
        ::SetWindowPos(m_Window, nullptr, 0, 0, width, height, SWP_NOZORDER | SWP_NOMOVE | SWP_NOACTIVATE);
    }
}

void CPaintManagerUI::AddWindowCustomAttribute(const std::wstring& name, const std::wstring& value) {
    for (auto& attribute : m_CustomAttributes) {
        if (EqualsNoCase(attribute.first, name)) {
            attribute.second = value;
            return;
        }
    }
    m_CustomAttributes.emplace_back(name, value);
}

const wchar_t* CPaintManagerUI::GetWindowCustomAttribute(const std::wstring& name) const {
    for (const auto& attribute : m_CustomAttributes) {
        if (EqualsNoCase(attribute.first, name)) return attribute.second.c_str();
    }
    return nullptr;
}

bool CPaintManagerUI::AttachDialog(std::unique_ptr<CControlUI> root) {
    ReleaseRoot();
    if (!root) return false;
    m_Root = std::move(root);
    m_NeedLayout = true;
    m_FirstLayout = true;
    m_Root->SetManager(this, nullptr, true);
    NeedUpdate();
    return true;
}

void CPaintManagerUI::ReleaseRoot() {
    std::unique_ptr<CControlUI> old = std::move(m_Root);
    old.reset();
    m_Focus = m_Hover = m_Captured = nullptr;
}

CControlUI* CPaintManagerUI::FindControl(const std::wstring& name) const {
    return m_Root ? m_Root->FindControlByName(name) : nullptr;
}

CControlUI* CPaintManagerUI::FindControl(POINT point) const {
    return m_Root ? m_Root->FindControlAt(point) : nullptr;
}

void CPaintManagerUI::NeedUpdate() {
    m_NeedLayout = true;
    if (m_Window != nullptr) ::InvalidateRect(m_Window, nullptr, FALSE);
}

void CPaintManagerUI::Invalidate(const RECT& rect) {
    if (m_Window != nullptr) ::InvalidateRect(m_Window, &rect, FALSE);
}

void CPaintManagerUI::LayoutIfNeeded(const RECT& client) {
    // A notification handler may ask for another layout; a few passes settle any tree.
    for (int pass = 0; pass < 4 && m_Root && (m_NeedLayout || !::EqualRect(&client, &m_LaidOut)); ++pass) {
        m_NeedLayout = false;
        m_LaidOut = client;
        m_Root->SetPos(client);
        if (m_FirstLayout) {
            m_FirstLayout = false;
            SendNotify(m_Root.get(), NotifyType::kWindowInit);
        }
    }
}

void CPaintManagerUI::UpdateLayout() {
    if (!m_Root) return;
    // Without a window (an offscreen render) the layout's own size is the client area.
    RECT client{0, 0, m_InitSize.cx, m_InitSize.cy};
    if (m_Window != nullptr) ::GetClientRect(m_Window, &client);
    LayoutIfNeeded(client);
}

void CPaintManagerUI::Render(HDC dc, const RECT& client, const RECT& paint) {
    if (!m_Root) return;
    LayoutIfNeeded(client);
    if (m_Root) m_Root->DoPaint(dc, paint);
}

void CPaintManagerUI::Paint() {
    PAINTSTRUCT paint{};
    HDC dc = ::BeginPaint(m_Window, &paint);
    RECT client{};
    ::GetClientRect(m_Window, &client);
    if (m_Root && client.right > 0 && client.bottom > 0) {
        if (m_BackBuffer.Width() != client.right || m_BackBuffer.Height() != client.bottom) {
            m_BackBuffer.Create(client.right, client.bottom);
        }
        if (m_BackBuffer.IsValid()) {
            RECT area = paint.rcPaint;
            {
                SavedDcState saved(m_BackBuffer.Dc());
                ::IntersectClipRect(m_BackBuffer.Dc(), area.left, area.top, area.right, area.bottom);
                Render(m_BackBuffer.Dc(), client, area);
            }
            ::BitBlt(dc, area.left, area.top, area.right - area.left, area.bottom - area.top, m_BackBuffer.Dc(),
                     area.left, area.top, SRCCOPY);
        }
    }
    ::EndPaint(m_Window, &paint);
}

void CPaintManagerUI::SetFocus(CControlUI* control) {
    if (control == m_Focus) return;
    if (control != nullptr && m_Window != nullptr && ::IsWindowVisible(m_Window) && ::GetFocus() != m_Window) {
        ::SetFocus(m_Window);
    }
    CControlUI* previous = m_Focus;
    m_Focus = control;
    if (previous != nullptr) SendEvent(previous, EventType::KillFocus, m_LastMouse);
    if (control != nullptr && m_Focus == control) SendEvent(control, EventType::SetFocus, m_LastMouse);
}

void CPaintManagerUI::AddNotifier(INotifyUI* notifier) {
    if (std::find(m_Notifiers.begin(), m_Notifiers.end(), notifier) == m_Notifiers.end()) {
        m_Notifiers.push_back(notifier);
    }
}

void CPaintManagerUI::RemoveNotifier(INotifyUI* notifier) {
    m_Notifiers.erase(std::remove(m_Notifiers.begin(), m_Notifiers.end(), notifier), m_Notifiers.end());
}

void CPaintManagerUI::SendNotify(CControlUI* control, const std::wstring& type, WPARAM wParam, LPARAM lParam,
                                 bool async) {
    NotifyRecord msg;
    msg.type = type;
    msg.sender = control;
    msg.wParam = wParam;
    msg.lParam = lParam;
    SendNotify(msg, async);
}

void CPaintManagerUI::SendNotify(NotifyRecord& msg, bool async) {
    msg.timestamp = ::GetTickCount();
    if (async) {
        {
            std::lock_guard<std::mutex> guard(m_QueueLock);
            m_Queued.push_back(msg);
        }
        if (m_Window != nullptr) ::PostMessageW(m_Window, kQueuedNotifyMessage, 0, 0);
        return;
    }
    const std::vector<INotifyUI*> notifiers = m_Notifiers;
    for (INotifyUI* notifier : notifiers) notifier->Notify(msg);
}

void CPaintManagerUI::DeliverQueuedNotifications() {
    // One at a time: a handler may destroy controls that later records name, and
    // ReapControl then drops those records from the queue.
    for (;;) {
        NotifyRecord msg;
        {
            std::lock_guard<std::mutex> guard(m_QueueLock);
            if (m_Queued.empty()) return;
            msg = m_Queued.front();
            m_Queued.erase(m_Queued.begin());
        }
        const std::vector<INotifyUI*> notifiers = m_Notifiers;
        for (INotifyUI* notifier : notifiers) notifier->Notify(msg);
    }
}

void CPaintManagerUI::AddPreMessageFilter(IMessageFilterUI* filter) {
    if (std::find(m_PreMessageFilters.begin(), m_PreMessageFilters.end(), filter) == m_PreMessageFilters.end()) {
        m_PreMessageFilters.push_back(filter);
    }
}

void CPaintManagerUI::RemovePreMessageFilter(IMessageFilterUI* filter) {
    m_PreMessageFilters.erase(std::remove(m_PreMessageFilters.begin(), m_PreMessageFilters.end(), filter),
                              m_PreMessageFilters.end());
}

bool CPaintManagerUI::SetTimer(CControlUI* control, UINT timerId, UINT elapse) {
    if (m_Window == nullptr || control == nullptr) return false;
    for (const TimerEntry& timer : m_Timers) {
        if (timer.control == control && timer.timerId == timerId) {
            return ::SetTimer(m_Window, timer.nativeId, elapse, nullptr) != 0;
        }
    }
    const UINT_PTR nativeId = m_NextTimerId++;
    if (::SetTimer(m_Window, nativeId, elapse, nullptr) == 0) return false;
    m_Timers.push_back(TimerEntry{control, timerId, nativeId});
    return true;
}

void CPaintManagerUI::KillTimer(CControlUI* control, UINT timerId) {
    for (auto it = m_Timers.begin(); it != m_Timers.end(); ++it) {
        if (it->control == control && it->timerId == timerId) {
            if (m_Window != nullptr) ::KillTimer(m_Window, it->nativeId);
            m_Timers.erase(it);
            return;
        }
    }
}

void CPaintManagerUI::KillTimer(CControlUI* control) {
    for (auto it = m_Timers.begin(); it != m_Timers.end();) {
        if (it->control == control) {
            if (m_Window != nullptr) ::KillTimer(m_Window, it->nativeId);
            it = m_Timers.erase(it);
        } else {
            ++it;
        }
    }
}

void CPaintManagerUI::ReapControl(CControlUI* control) {
    if (m_Focus == control) m_Focus = nullptr;
    if (m_Hover == control) m_Hover = nullptr;
    if (m_Captured == control) m_Captured = nullptr;
    if (static_cast<CControlUI*>(m_ActiveEdit) == control) {
        m_ActiveEdit = nullptr;
        m_ActiveEditWindow = nullptr;
    }
    KillTimer(control);
    std::lock_guard<std::mutex> guard(m_QueueLock);
    m_Queued.erase(std::remove_if(m_Queued.begin(), m_Queued.end(),
                                  [control](const NotifyRecord& msg) { return msg.sender == control; }),
                   m_Queued.end());
}

void CPaintManagerUI::ControlHidden(CControlUI* control) {
    if (m_Hover != nullptr && IsWithin(m_Hover, control)) {
        CControlUI* hover = m_Hover;
        m_Hover = nullptr;
        SendEvent(hover, EventType::MouseLeave, m_LastMouse);
    }
    if (m_Captured != nullptr && IsWithin(m_Captured, control)) m_Captured = nullptr;
    if (m_Focus != nullptr && m_Focus != control && IsWithin(m_Focus, control)) SetFocus(nullptr);
}

void CPaintManagerUI::SetActiveEdit(HWND window, CEditUI* edit) {
    m_ActiveEditWindow = window;
    m_ActiveEdit = edit;
}

void CPaintManagerUI::SendEvent(CControlUI* control, EventType type, POINT point, WPARAM wParam, LPARAM lParam) {
    if (control == nullptr) return;
    ControlEvent event;
    event.type = type;
    event.sender = control;
    event.point = point;
    event.wParam = wParam;
    event.lParam = lParam;
    event.timestamp = ::GetTickCount();
    control->Event(event);
}

void CPaintManagerUI::OnMouseMove(POINT point, WPARAM keys) {
    UpdateLayout();
    m_LastMouse = point;
    if (!m_TrackingMouse && m_Window != nullptr) {
        TRACKMOUSEEVENT track{sizeof(track), TME_LEAVE, m_Window, 0};
        m_TrackingMouse = ::TrackMouseEvent(&track) != FALSE;
    }
    CControlUI* hover = FindControl(point);
    if (hover != m_Hover) {
        CControlUI* previous = m_Hover;
        m_Hover = hover;
        if (previous != nullptr) SendEvent(previous, EventType::MouseLeave, point, keys);
        if (hover != nullptr && m_Hover == hover) SendEvent(hover, EventType::MouseEnter, point, keys);
    }
    if (m_Captured != nullptr) SendEvent(m_Captured, EventType::MouseMove, point, keys);
    else if (m_Hover != nullptr) SendEvent(m_Hover, EventType::MouseMove, point, keys);
}

void CPaintManagerUI::OnMouseLeave() {
    m_TrackingMouse = false;
    if (m_Hover != nullptr) {
        CControlUI* previous = m_Hover;
        m_Hover = nullptr;
        SendEvent(previous, EventType::MouseLeave, m_LastMouse);
    }
}

void CPaintManagerUI::OnButtonDown(POINT point, WPARAM keys, bool doubleClick) {
    UpdateLayout();
    m_LastMouse = point;
    CControlUI* control = FindControl(point);
    if (control == nullptr || !control->IsEnabled()) return;
    SetFocus(control);
    if (m_Window != nullptr) ::SetCapture(m_Window);
    m_Captured = control;
    SendEvent(control, doubleClick ? EventType::DoubleClick : EventType::ButtonDown, point, keys);
}

void CPaintManagerUI::OnButtonUp(POINT point, WPARAM keys) {
    m_LastMouse = point;
    CControlUI* control = m_Captured;
    m_Captured = nullptr;
    if (m_Window != nullptr && ::GetCapture() == m_Window) ::ReleaseCapture();
    if (control != nullptr) SendEvent(control, EventType::ButtonUp, point, keys);
}

bool CPaintManagerUI::MessageHandler(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) {
    result = 0;
    const POINT point{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
    switch (message) {
        case WM_PAINT:
            Paint();
            return true;
        case WM_ERASEBKGND:
            result = 1;  // the back buffer covers everything
            return true;
        case WM_SIZE:
            NeedUpdate();
            return false;
        case WM_TIMER:
            for (const TimerEntry& timer : m_Timers) {
                if (timer.nativeId == wParam) {
                    SendEvent(timer.control, EventType::Timer, m_LastMouse, timer.timerId);
                    return true;
                }
            }
            return false;
        case WM_MOUSEMOVE:
            OnMouseMove(point, wParam);
            return true;
        case WM_MOUSELEAVE:
            OnMouseLeave();
            return true;
        case WM_LBUTTONDOWN:
        case WM_LBUTTONDBLCLK:
            OnButtonDown(point, wParam, message == WM_LBUTTONDBLCLK);
            return true;
        case WM_LBUTTONUP:
            OnButtonUp(point, wParam);
            return true;
        case WM_CAPTURECHANGED:
            if (m_Captured != nullptr && reinterpret_cast<HWND>(lParam) != m_Window) {
                // Capture taken away mid-press: release far outside, so nothing is clicked.
                CControlUI* control = m_Captured;
                m_Captured = nullptr;
                SendEvent(control, EventType::ButtonUp, POINT{-0x7FFF, -0x7FFF});
            }
            return false;
        case WM_KEYDOWN:
            if (m_Focus == nullptr) return false;
            SendEvent(m_Focus, EventType::KeyDown, m_LastMouse, wParam, lParam);
            return true;
        case WM_CHAR:
            if (m_Focus == nullptr) return false;
            SendEvent(m_Focus, EventType::Char, m_LastMouse, wParam, lParam);
            return true;
        case WM_CTLCOLOREDIT:
            if (m_ActiveEdit != nullptr && reinterpret_cast<HWND>(lParam) == m_ActiveEditWindow) {
                result = reinterpret_cast<LRESULT>(m_ActiveEdit->ColorEdit(reinterpret_cast<HDC>(wParam)));
                return true;
            }
            return false;
        case kQueuedNotifyMessage:
            DeliverQueuedNotifications();
            return true;
        case WM_DESTROY:
            m_Timers.clear();  // native timers end with the window
            return false;
        case WM_NCDESTROY:
            Init(nullptr);  // the handle is dead from here on
            return false;
        default:
            return false;
    }
}

}  // namespace SkinUI
