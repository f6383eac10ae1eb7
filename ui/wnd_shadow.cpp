#include "ui/wnd_shadow.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <utility>
#include <vector>

#include "ui/toolkit/gdi_handles.h"
#include "ui/toolkit/image_descriptor.h"
#include "ui/toolkit/markup_values.h"
#include "ui/toolkit/paint_manager.h"
#include "ui/toolkit/render_engine.h"

namespace {

constexpr wchar_t kShadowClassName[] = L"SkinShadowWnd";

using UpdateLayeredWindowFn = BOOL(WINAPI*)(HWND, HDC, POINT*, SIZE*, HDC, POINT*, COLORREF, BLENDFUNCTION*, DWORD);

UpdateLayeredWindowFn g_UpdateLayeredWindow = nullptr;
bool g_ClassRegistered = false;

struct HookedWindow {
    HWND parent;
    CWndShadow* shadow;  // nullptr once the shadow object is gone but the hook could not be undone
    WNDPROC previous;
};

// Every hooked window; touched on the window thread only.
std::vector<HookedWindow>& HookedWindows() {
    static std::vector<HookedWindow> windows;
    return windows;
}

HookedWindow* FindHooked(HWND parent) {
    for (HookedWindow& entry : HookedWindows()) {
        if (entry.parent == parent) return &entry;
    }
    return nullptr;
}

LRESULT CALLBACK ShadowWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_MOUSEACTIVATE) return MA_NOACTIVATE;
    return ::DefWindowProcW(window, message, wParam, lParam);
}

// Reads one decimal integer and skips the single separator character after it.
int NextNumber(const wchar_t*& cursor) {
    wchar_t* end = nullptr;
    const long value = std::wcstol(cursor, &end, 10);
    if (end == cursor) return 0;
    cursor = *end != L'\0' ? end + 1 : end;
    return static_cast<int>(value);
}

}  // namespace

RECT ParseShadowRect(const std::wstring& text) {
    const wchar_t* cursor = text.c_str();
    RECT rect{};
    rect.left = NextNumber(cursor);
    rect.top = NextNumber(cursor);
    rect.right = NextNumber(cursor);
    rect.bottom = NextNumber(cursor);
    return rect;
}

uint32_t ParseShadowColor(const std::wstring& text) {
    const wchar_t* digits = text.c_str();
    if (*digits == L'#') ++digits;
    return static_cast<uint32_t>(std::wcstoul(digits, nullptr, 16));
}

CWndShadow::CWndShadow() = default;

CWndShadow::~CWndShadow() {
    if (m_ShadowWindow != nullptr && ::IsWindow(m_ShadowWindow)) ::PostMessageW(m_ShadowWindow, WM_CLOSE, 0, 0);
    // The parent may outlive this object (a frame drops its shadow before its window goes):
    // undo the hook when it is still the parent's procedure, otherwise leave a bare
    // forwarding entry so that the hook never reaches a destroyed shadow.
    if (HookedWindow* entry = m_Parent != nullptr ? FindHooked(m_Parent) : nullptr) {
        if (::IsWindow(m_Parent) &&
            ::GetWindowLongPtrW(m_Parent, GWLP_WNDPROC) == reinterpret_cast<LONG_PTR>(&CWndShadow::ParentHook)) {
            ::SetWindowLongPtrW(m_Parent, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(entry->previous));
            auto& windows = HookedWindows();
            windows.erase(windows.begin() + (entry - windows.data()));
        } else {
            entry->shadow = nullptr;
        }
    }
}

bool CWndShadow::Initialize(HINSTANCE instance) {
    if (g_ClassRegistered) return false;
    HMODULE user32 = ::GetModuleHandleW(L"USER32.DLL");
    g_UpdateLayeredWindow = user32 == nullptr ? nullptr
                                              : reinterpret_cast<UpdateLayeredWindowFn>(reinterpret_cast<void*>(
                                                    ::GetProcAddress(user32, "UpdateLayeredWindow")));
    if (g_UpdateLayeredWindow == nullptr) return false;
    WNDCLASSEXW windowClass{};
    windowClass.cbSize = sizeof(windowClass);
    windowClass.style = CS_HREDRAW | CS_VREDRAW;
    windowClass.lpfnWndProc = &ShadowWindowProc;
    windowClass.hInstance = instance;
    windowClass.hCursor = ::LoadCursorW(nullptr, IDC_ARROW);
    windowClass.hbrBackground = reinterpret_cast<HBRUSH>(static_cast<INT_PTR>(6));
    windowClass.lpszClassName = kShadowClassName;
    if (::RegisterClassExW(&windowClass) == 0 && ::GetLastError() != ERROR_CLASS_ALREADY_EXISTS) return false;
    g_ClassRegistered = true;
    return true;
}

void CWndShadow::Create(HWND parent) {
    if (g_UpdateLayeredWindow == nullptr || parent == nullptr || m_ShadowWindow != nullptr) return;
    m_Parent = parent;
    HookedWindows().push_back(HookedWindow{parent, this, nullptr});

    m_ShadowWindow = ::CreateWindowExW(WS_EX_LAYERED | WS_EX_TRANSPARENT, kShadowClassName, nullptr, WS_POPUPWINDOW,
                                       CW_USEDEFAULT, 0, 0, 0, parent, nullptr,
                                       reinterpret_cast<HINSTANCE>(::GetWindowLongPtrW(parent, GWLP_HINSTANCE)),
                                       nullptr);
    if (!::IsWindowVisible(parent)) {
        m_Status = kEnabled;
    } else if (::IsIconic(parent) || ::IsZoomed(parent)) {
        m_Status = kEnabled | kParentShown;
    } else {
        m_Status = kEnabled | kShown | kParentShown;
        ::ShowWindow(m_ShadowWindow, SW_SHOWNOACTIVATE);
        Update(parent);
    }

    m_ParentProc = reinterpret_cast<WNDPROC>(
        ::SetWindowLongPtrW(parent, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&CWndShadow::ParentHook)));
    if (HookedWindow* entry = FindHooked(parent)) entry->previous = m_ParentProc;
}

LRESULT CALLBACK CWndShadow::ParentHook(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    HookedWindow* entry = FindHooked(window);
    if (entry == nullptr) return ::DefWindowProcW(window, message, wParam, lParam);
    const WNDPROC previous = entry->previous;
    if (entry->shadow != nullptr) entry->shadow->OnParentMessage(window, message, wParam, lParam);
    if (message == WM_NCDESTROY) {
        // The entry may have moved while the shadow acted; look it up again.
        auto& windows = HookedWindows();
        windows.erase(std::remove_if(windows.begin(), windows.end(),
                                     [window](const HookedWindow& hooked) { return hooked.parent == window; }),
                      windows.end());
    }
    return ::CallWindowProcW(previous, window, message, wParam, lParam);
}

void CWndShadow::OnParentMessage(HWND parent, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_DESTROY:
        if (m_ShadowWindow != nullptr) {
            ::DestroyWindow(m_ShadowWindow);
            m_ShadowWindow = nullptr;
        }
        break;
    case WM_MOVE:
        if (m_Status & kShown) {
            RECT rect{};
            ::GetWindowRect(parent, &rect);
            const POINT origin = ShadowOrigin(rect);
            ::SetWindowPos(m_ShadowWindow, nullptr, origin.x, origin.y, 0, 0,
                           SWP_NOSIZE | SWP_NOACTIVATE | SWP_NOZORDER);
        }
        break;
    case WM_SIZE:
        if (m_Status & kEnabled) {
            if (wParam == SIZE_MINIMIZED || wParam == SIZE_MAXIMIZED) {
                Hide();
            } else if (m_Status & kParentShown) {
                const uint32_t size = static_cast<uint32_t>(lParam);
                const bool smaller =
                    LOWORD(size) <= LOWORD(m_LastSize) && HIWORD(size) <= HIWORD(m_LastSize);
                // A shrinking window is redrawn at once; a growing one at its next paint,
                // when its new region is in place.
                if (smaller) {
                    Update(parent);
                } else {
                    m_UpdatePending = true;
                }
                if (!(m_Status & kShown)) Show();
            }
            m_LastSize = static_cast<uint32_t>(lParam);
        }
        break;
    case WM_ACTIVATE:
    case WM_EXITSIZEMOVE:
        if (m_Status & kShown) Update(parent);
        break;
    case WM_PAINT:
        if (m_UpdatePending) {
            Update(parent);
            m_UpdatePending = false;
        }
        break;
    case WM_SHOWWINDOW:
        if (m_Status & kEnabled) {
            if (wParam == FALSE) {
                Hide();
                m_Status &= static_cast<uint8_t>(~kParentShown);
            } else if (!(m_Status & kParentShown)) {
                m_UpdatePending = true;
                Show();
                m_Status |= kParentShown;
            }
        }
        break;
    default:
        break;
    }
}

void CWndShadow::Show() {
    if (m_ShadowWindow != nullptr) ::ShowWindow(m_ShadowWindow, SW_SHOWNOACTIVATE);
    m_Status |= kShown;
}

void CWndShadow::Hide() {
    if (m_ShadowWindow != nullptr) ::ShowWindow(m_ShadowWindow, SW_HIDE);
    m_Status &= static_cast<uint8_t>(~kShown);
}

POINT CWndShadow::ShadowOrigin(const RECT& parentRect) const {
    if (m_Image) return POINT{parentRect.left - m_Extent.left, parentRect.top - m_Extent.top};
    return POINT{parentRect.left + m_Params.offsetX - m_Params.size, parentRect.top + m_Params.offsetY - m_Params.size};
}

bool CWndShadow::SetSize(int size) {
    if (size < -20 || size > 20) return false;
    m_Params.size = size;
    Changed();
    return true;
}

bool CWndShadow::SetSharpness(unsigned int sharpness) {
    if (sharpness > 20) return false;
    m_Params.sharpness = static_cast<int>(sharpness);
    Changed();
    return true;
}

bool CWndShadow::SetDarkness(unsigned int darkness) {
    if (darkness > 255) return false;
    m_Params.darkness = static_cast<int>(darkness);
    Changed();
    return true;
}

bool CWndShadow::SetPosition(int x, int y) {
    if (x < -20 || x > 20 || y < -20 || y > 20) return false;
    m_Params.offsetX = x;
    m_Params.offsetY = y;
    Changed();
    return true;
}

bool CWndShadow::SetColor(uint32_t color) {
    m_Params.color = color & 0x00FFFFFF;
    Changed();
    return true;
}

bool CWndShadow::SetImage(const SkinUI::CPaintManagerUI& skin, const std::wstring& file, const RECT& extent,
                          const RECT& holeOffset) {
    std::string bytes;
    if (!skin.ReadSkinItem(file, &bytes)) return false;
    std::unique_ptr<SkinUI::SkinImage> image = SkinUI::SkinImage::Decode(bytes.data(), bytes.size());
    if (!image) return false;
    m_Image = std::move(image);
    m_Extent = extent;
    m_HoleOffset = holeOffset;
    Changed();
    return true;
}

void CWndShadow::Changed() {
    if ((m_Status & kShown) && m_Parent != nullptr) Update(m_Parent);
}

void CWndShadow::DrawImage(HDC dc, int width, int height) const {
    SkinUI::ImageDescriptor patch;
    patch.corner = RECT{m_Extent.left + m_HoleOffset.left, m_Extent.top + m_HoleOffset.top,
                        m_Extent.right + m_HoleOffset.right, m_Extent.bottom + m_HoleOffset.bottom};
    patch.hole = true;
    SkinUI::Render::DrawImage(dc, *m_Image, RECT{0, 0, width, height}, patch);
}

void CWndShadow::Update(HWND parent) {
    if (m_ShadowWindow == nullptr || g_UpdateLayeredWindow == nullptr) return;
    RECT rect{};
    ::GetWindowRect(parent, &rect);
    const int parentWidth = rect.right - rect.left;
    const int parentHeight = rect.bottom - rect.top;
    const int width = m_Image ? parentWidth + m_Extent.left + m_Extent.right : parentWidth + 2 * m_Params.size;
    const int height = m_Image ? parentHeight + m_Extent.top + m_Extent.bottom : parentHeight + 2 * m_Params.size;
    if (width <= 0 || height <= 0) return;

    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof(info.bmiHeader);
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = height;  // bottom-up, as the pixel computation lays rows out
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    SkinUI::UniqueMemoryDc dc(::CreateCompatibleDC(nullptr));
    SkinUI::UniqueBitmap bitmap(::CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0));
    if (!dc || !bitmap || bits == nullptr) return;
    SkinUI::SelectionGuard selected(dc.get(), bitmap.get());
    std::memset(bits, 0, static_cast<size_t>(width) * height * 4);

    if (m_Image) {
        DrawImage(dc.get(), width, height);
    } else {
        std::vector<ShadowSpan> spans;
        SkinUI::UniqueRegion region(::CreateRectRgn(0, 0, 0, 0));
        // A window without a region of its own has an empty one: every row is empty.
        const bool hasRegion = region && ::GetWindowRgn(parent, region.get()) != ERROR;
        if (hasRegion) {
            spans = SpansOfRegion(parentWidth, parentHeight,
                                  [&](int x, int y) { return ::PtInRegion(region.get(), x, y) != FALSE; });
        } else {
            spans.assign(static_cast<size_t>(parentHeight), ShadowSpan{parentWidth, 0});
        }
        m_LastBitmap = ComputeShadowPixels(spans, parentWidth, parentHeight, m_Params);
        if (m_LastBitmap.pixels.size() == static_cast<size_t>(width) * height) {
            std::memcpy(bits, m_LastBitmap.pixels.data(), m_LastBitmap.pixels.size() * 4);
        }
    }

    POINT origin = ShadowOrigin(rect);
    ::SetWindowPos(m_ShadowWindow, nullptr, origin.x, origin.y, width, height, SWP_NOACTIVATE | SWP_NOZORDER);
    SIZE size{width, height};
    POINT source{0, 0};
    BLENDFUNCTION blend{AC_SRC_OVER, 0, 255, AC_SRC_ALPHA};
    g_UpdateLayeredWindow(m_ShadowWindow, nullptr, &origin, &size, dc.get(), &source, 0, &blend, ULW_ALPHA);
}

std::unique_ptr<SkinUI::FrameShadow> CreateFrameShadow(HWND window, const SkinUI::CPaintManagerUI& manager) {
    auto shadow = std::make_unique<CWndShadow>();
    shadow->Create(window);
    const auto attribute = [&](const wchar_t* name) { return manager.GetWindowCustomAttribute(name); };
    if (const wchar_t* image = attribute(L"shadowimage")) {
        // Without "shadowcorner" the image reaches nowhere beyond the window; without
        // "shadowholeoffset" its corners are exactly the extent.
        const wchar_t* corner = attribute(L"shadowcorner");
        const wchar_t* hole = attribute(L"shadowholeoffset");
        shadow->SetImage(manager, image, corner != nullptr ? ParseShadowRect(corner) : RECT{},
                         hole != nullptr ? ParseShadowRect(hole) : RECT{});
    }
    if (const wchar_t* size = attribute(L"shadowsize")) shadow->SetSize(static_cast<int>(std::wcstol(size, nullptr, 10)));
    if (const wchar_t* sharpness = attribute(L"shadowsharpness")) {
        shadow->SetSharpness(static_cast<unsigned int>(std::wcstol(sharpness, nullptr, 10)));
    }
    if (const wchar_t* darkness = attribute(L"shadowdarkness")) {
        shadow->SetDarkness(static_cast<unsigned int>(std::wcstol(darkness, nullptr, 10)));
    }
    if (const wchar_t* position = attribute(L"shadowposition")) {
        const RECT offsets = ParseShadowRect(position);
        shadow->SetPosition(offsets.left, offsets.top);
    }
    if (const wchar_t* color = attribute(L"shadowcolor")) shadow->SetColor(ParseShadowColor(color));
    return shadow;
}
