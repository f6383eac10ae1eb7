// CWndShadow: the drop shadow of a frameless window. A second, layered, click-through popup
// owned by the window follows it and shows a blurred, semi-transparent band computed from
// the window's region (ui/shadow_pixels.h), or a nine-patch image. The shadow learns of its
// window's moves, sizes, activation and visibility by hooking the window's procedure.
//
// Window thread only: creation, the setters, the hook and the process-wide list of
// (window, shadow) pairs all run on the thread that owns the windows.
#pragma once

#include <windows.h>

#include <cstdint>
#include <memory>
#include <string>

#include "ui/shadow_pixels.h"
#include "ui/toolkit/skin_frame.h"
#include "ui/toolkit/skin_image.h"

namespace SkinUI {
class CPaintManagerUI;
}

class CWndShadow : public SkinUI::FrameShadow {
public:
    // Status bits.
    static constexpr uint8_t kEnabled = 1;
    static constexpr uint8_t kShown = 2;
    static constexpr uint8_t kParentShown = 4;

    CWndShadow();
    ~CWndShadow() override;
    CWndShadow(const CWndShadow&) = delete;
    CWndShadow& operator=(const CWndShadow&) = delete;

    // Registers the "SkinShadowWnd" class once per process. False when already done or when
    // the system has no layered-window update function (then no window gets a shadow).
    static bool Initialize(HINSTANCE instance);

    // Makes the shadow window for `parent` and hooks it; nothing without the update function.
    void Create(HWND parent);

    // Each refuses (false, no change) a value outside its range; a change recomputes a
    // shown shadow at once.
    bool SetSize(int size);                   // -20..20
    bool SetSharpness(unsigned int sharpness);  // 0..20
    bool SetDarkness(unsigned int darkness);    // 0..255
    bool SetPosition(int x, int y);             // each -20..20
    bool SetColor(uint32_t color);              // 0x00BBGGRR, top byte ignored
    // Image mode: the image (an item of `skin`) drawn as a nine-patch whose corner margins are
    // extent + hole offset, its middle left out. False when the image cannot be loaded.
    bool SetImage(const SkinUI::CPaintManagerUI& skin, const std::wstring& file, const RECT& extent,
                  const RECT& holeOffset);

    // Recomputes the bitmap for the parent's present size and hands it to the shadow window.
    void Update(HWND parent);

    HWND GetShadowWindow() const { return m_ShadowWindow; }
    uint8_t GetStatus() const { return m_Status; }
    const ShadowParams& GetParams() const { return m_Params; }
    bool IsImageMode() const { return m_Image != nullptr; }
    // The pixels last handed to the shadow window (computed mode).
    const ShadowBitmap& GetLastBitmap() const { return m_LastBitmap; }

private:
    static LRESULT CALLBACK ParentHook(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    void OnParentMessage(HWND parent, UINT message, WPARAM wParam, LPARAM lParam);
    POINT ShadowOrigin(const RECT& parentRect) const;
    void Show();
    void Hide();
    // After a setter changed something.
    void Changed();
    void DrawImage(HDC dc, int width, int height) const;

    HWND m_ShadowWindow = nullptr;
    WNDPROC m_ParentProc = nullptr;
    uint8_t m_Status = 0;
    ShadowParams m_Params{0, 5, 150, 5, 5, 0};
    uint32_t m_LastSize = 0;
    bool m_UpdatePending = false;
    std::unique_ptr<SkinUI::SkinImage> m_Image;
    RECT m_Extent{};
    RECT m_HoleOffset{};
    HWND m_Parent = nullptr;
    ShadowBitmap m_LastBitmap;
};

// The frame's shadow factory: reads the layout's shadow attributes ("showshadow" has been
// checked by the frame) and makes the window's shadow. Register with
// SkinUI::CSkinFrame::SetShadowFactory.
std::unique_ptr<SkinUI::FrameShadow> CreateFrameShadow(HWND window, const SkinUI::CPaintManagerUI& manager);

// "l,t,r,b" with one separator character between decimal integers; missing numbers are 0.
RECT ParseShadowRect(const std::wstring& text);
// A shadow colour: hexadecimal, a leading "#" skipped.
uint32_t ParseShadowColor(const std::wstring& text);
