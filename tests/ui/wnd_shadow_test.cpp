// The drop shadow of a real frameless window: its bitmap and placement, the settings and
// their ranges, its colours, image mode, following the window's state, and the set-up that
// the frame makes from a layout's attributes.
#include <gtest/gtest.h>

#include <windows.h>

#include <algorithm>
#include <memory>

#include "tests/ui/window_driver.h"
#include "ui/toolkit/paint_manager.h"
#include "ui/toolkit/skin_frame.h"
#include "ui/wnd_shadow.h"

namespace {

// A plain 600 × 400 popup at (100, 100), optionally with a region over its whole rectangle.
class ParentWindow {
public:
    explicit ParentWindow(bool withRegion) {
        WNDCLASSW windowClass{};
        windowClass.lpfnWndProc = &::DefWindowProcW;
        windowClass.hInstance = ::GetModuleHandleW(nullptr);
        windowClass.lpszClassName = L"LumivoxShadowTestParent";
        ::RegisterClassW(&windowClass);
        m_Window = ::CreateWindowExW(0, windowClass.lpszClassName, L"", WS_POPUP, 100, 100, 600, 400, nullptr, nullptr,
                                     windowClass.hInstance, nullptr);
        if (withRegion) ::SetWindowRgn(m_Window, ::CreateRectRgn(0, 0, 600, 400), FALSE);
    }
    ~ParentWindow() { ::DestroyWindow(m_Window); }
    HWND get() const { return m_Window; }
    void Show() {
        ::ShowWindow(m_Window, SW_SHOWNOACTIVATE);
        WindowDriver::PumpFor(50);
    }

private:
    HWND m_Window = nullptr;
};

std::unique_ptr<CWndShadow> LayoutShadow(HWND parent) {
    auto shadow = std::make_unique<CWndShadow>();
    shadow->Create(parent);
    EXPECT_TRUE(shadow->SetSize(6));
    EXPECT_TRUE(shadow->SetSharpness(10));
    EXPECT_TRUE(shadow->SetDarkness(20));
    EXPECT_TRUE(shadow->SetPosition(1, 1));
    return shadow;
}

uint32_t DarkestPixel(const ShadowBitmap& bitmap) {
    return *std::max_element(bitmap.pixels.begin(), bitmap.pixels.end());
}

TEST(WindowShadow, BitmapAndPlacementForTheLayoutsSettings) {
    ParentWindow parent(true);
    auto shadow = LayoutShadow(parent.get());
    ASSERT_NE(nullptr, shadow->GetShadowWindow());
    EXPECT_EQ(CWndShadow::kEnabled, shadow->GetStatus()) << "made before its window is shown";
    parent.Show();
    EXPECT_EQ(CWndShadow::kEnabled | CWndShadow::kShown | CWndShadow::kParentShown, shadow->GetStatus());
    EXPECT_TRUE(::IsWindowVisible(shadow->GetShadowWindow()));

    RECT placed{};
    ::GetWindowRect(shadow->GetShadowWindow(), &placed);
    EXPECT_EQ(95, placed.left);
    EXPECT_EQ(95, placed.top);
    EXPECT_EQ(612, placed.right - placed.left);
    EXPECT_EQ(412, placed.bottom - placed.top);

    const ShadowBitmap& bitmap = shadow->GetLastBitmap();
    ASSERT_EQ(612, bitmap.width);
    ASSERT_EQ(412, bitmap.height);
    // The window's own pixels sit 5 columns and 5 rows into the shadow, fully transparent.
    int darkened = 0;
    for (int y = 0; y < 400; ++y) {
        for (int x = 0; x < 600; ++x) darkened += bitmap.At(x + 5, y + 5) != 0 ? 1 : 0;
    }
    EXPECT_EQ(0, darkened);
    const uint32_t darkest = DarkestPixel(bitmap);
    EXPECT_GT(darkest >> 24, 0u) << "a band around the window is shaded";
    EXPECT_LE(darkest >> 24, 20u) << "never darker than the darkness";

    // The shadow follows a move without being recomputed.
    ::SetWindowPos(parent.get(), nullptr, 300, 200, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    ::GetWindowRect(shadow->GetShadowWindow(), &placed);
    EXPECT_EQ(295, placed.left);
    EXPECT_EQ(195, placed.top);
    EXPECT_TRUE(::GetWindowLongW(shadow->GetShadowWindow(), GWL_EXSTYLE) & WS_EX_TRANSPARENT) << "clicks go through";
}

TEST(WindowShadow, AWindowWithoutARegionGetsAnAllTransparentShadow) {
    ParentWindow parent(false);
    auto shadow = LayoutShadow(parent.get());
    parent.Show();
    const ShadowBitmap& bitmap = shadow->GetLastBitmap();
    ASSERT_EQ(612u * 412u, bitmap.pixels.size());
    EXPECT_EQ(0u, DarkestPixel(bitmap));
}

TEST(WindowShadow, ColoursAreReadRedInTheLowestByte) {
    const struct {
        const wchar_t* attribute;
        uint32_t channelMask;  // the only channel that may be lit
    } cases[] = {{L"#FF0000FF", 0x00FF0000u}, {L"#FFFF0000", 0x000000FFu}, {L"#26003B76", 0x00FFFF00u}};
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << c.attribute);
        ParentWindow parent(true);
        auto shadow = LayoutShadow(parent.get());
        parent.Show();
        EXPECT_TRUE(shadow->SetColor(ParseShadowColor(c.attribute)));
        const uint32_t darkest = DarkestPixel(shadow->GetLastBitmap());
        EXPECT_NE(0u, darkest & 0x00FFFFFFu & c.channelMask) << std::hex << darkest;
        EXPECT_EQ(0u, darkest & 0x00FFFFFFu & ~c.channelMask) << std::hex << darkest;
    }
}

TEST(WindowShadow, SettersRefuseValuesOutOfRange) {
    ParentWindow parent(true);
    CWndShadow shadow;
    shadow.Create(parent.get());
    const ShadowParams defaults = shadow.GetParams();
    EXPECT_EQ(0, defaults.size);
    EXPECT_EQ(5, defaults.sharpness);
    EXPECT_EQ(150, defaults.darkness);
    EXPECT_FALSE(shadow.SetSize(25));
    EXPECT_FALSE(shadow.SetSize(-21));
    EXPECT_FALSE(shadow.SetSharpness(21));
    EXPECT_FALSE(shadow.SetDarkness(256));
    EXPECT_FALSE(shadow.SetPosition(0, 21));
    EXPECT_FALSE(shadow.SetPosition(-21, 0));
    EXPECT_EQ(0, shadow.GetParams().size);
    EXPECT_EQ(5, shadow.GetParams().sharpness);
    EXPECT_EQ(150, shadow.GetParams().darkness);
    EXPECT_EQ(5, shadow.GetParams().offsetX);
    EXPECT_EQ(5, shadow.GetParams().offsetY);
    EXPECT_TRUE(shadow.SetSize(-20));
    EXPECT_TRUE(shadow.SetSharpness(20));
    EXPECT_TRUE(shadow.SetDarkness(255));
    EXPECT_TRUE(shadow.SetPosition(-20, 20));
    EXPECT_FALSE(shadow.SetSize(21));
    EXPECT_EQ(-20, shadow.GetParams().size) << "a refused value keeps the earlier one";
}

TEST(WindowShadow, HiddenWhileTheWindowIsMinimisedOrHidden) {
    ParentWindow parent(true);
    auto shadow = LayoutShadow(parent.get());
    parent.Show();
    HWND shadowWindow = shadow->GetShadowWindow();
    ASSERT_TRUE(::IsWindowVisible(shadowWindow));
    ::ShowWindow(parent.get(), SW_MINIMIZE);
    WindowDriver::PumpFor(50);
    EXPECT_FALSE(::IsWindowVisible(shadowWindow));
    ::ShowWindow(parent.get(), SW_RESTORE);
    WindowDriver::PumpFor(50);
    EXPECT_TRUE(::IsWindowVisible(shadowWindow));
    ::ShowWindow(parent.get(), SW_HIDE);
    EXPECT_FALSE(::IsWindowVisible(shadowWindow));
    EXPECT_EQ(CWndShadow::kEnabled, shadow->GetStatus());
    ::DestroyWindow(parent.get());
    EXPECT_FALSE(::IsWindow(shadowWindow)) << "destroyed with its window";
}

TEST(WindowShadow, ImageModeReachesTheExtentBeyondEachSide) {
    SkinUI::CPaintManagerUI skin;
    ASSERT_TRUE(skin.LoadSkinArchiveFromResource(::GetModuleHandleW(nullptr), 147));
    ParentWindow parent(true);
    CWndShadow shadow;
    shadow.Create(parent.get());
    EXPECT_FALSE(shadow.SetImage(skin, L"res\\mainWnd\\noSuchShadow.png", RECT{4, 4, 4, 4}, RECT{}));
    EXPECT_FALSE(shadow.IsImageMode());
    ASSERT_TRUE(shadow.SetImage(skin, L"res\\mainWnd\\tipLbl.png", RECT{4, 3, 8, 9}, RECT{1, 1, 1, 1}));
    parent.Show();
    RECT placed{};
    ::GetWindowRect(shadow.GetShadowWindow(), &placed);
    EXPECT_EQ(96, placed.left);
    EXPECT_EQ(97, placed.top);
    EXPECT_EQ(600 + 4 + 8, placed.right - placed.left);
    EXPECT_EQ(400 + 3 + 9, placed.bottom - placed.top);
}

TEST(WindowShadow, TheFrameSetsTheShadowUpFromTheLayout) {
    const struct {
        const wchar_t* layout;
        int darkness;
        uint32_t color;
    } cases[] = {{L"MainWnd.xml", 20, 0x003B76}, {L"InstalledPathTipWnd.xml", 10, 0xEDF0F4}};
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << c.layout);
        SkinUI::CSkinFrame frame(SkinUI::MakeSkinSource(c.layout));
        ASSERT_NE(nullptr, frame.Create(nullptr, L"frame", WS_POPUP, 0, 100, 100, 10, 10));
        auto* shadow = dynamic_cast<CWndShadow*>(frame.GetShadow());
        ASSERT_NE(nullptr, shadow);
        const ShadowParams params = shadow->GetParams();
        EXPECT_EQ(6, params.size);
        EXPECT_EQ(10, params.sharpness);
        EXPECT_EQ(c.darkness, params.darkness);
        EXPECT_EQ(1, params.offsetX);
        EXPECT_EQ(1, params.offsetY);
        EXPECT_EQ(c.color, params.color);
        EXPECT_FALSE(shadow->IsImageMode());
    }
}

TEST(WindowShadow, AttributeValueReaders) {
    const RECT rect = ParseShadowRect(L"1,2;30 4");
    EXPECT_EQ(1, rect.left);
    EXPECT_EQ(2, rect.top);
    EXPECT_EQ(30, rect.right);
    EXPECT_EQ(4, rect.bottom);
    EXPECT_EQ(0x26003B76u, ParseShadowColor(L"#26003B76"));
    EXPECT_EQ(0xFFu, ParseShadowColor(L"FF"));
}

}  // namespace
