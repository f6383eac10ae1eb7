// Real skinned windows (on the display the test's wrapper provides): creation from the
// embedded skin, notifications, mouse and keyboard, caption hit testing, timers, queued
// notifications from another thread and the modal run.
#include <gtest/gtest.h>

#include <windows.h>

#include <functional>
#include <string>
#include <thread>
#include <vector>

#include "ui/toolkit/combo_ui.h"
#include "ui/toolkit/dialog_builder.h"
#include "ui/toolkit/option_ui.h"
#include "ui/toolkit/paint_manager.h"
#include "ui/toolkit/skin_frame.h"
#include "ui/toolkit/tab_layout_ui.h"

namespace {

using namespace SkinUI;

constexpr UINT kProbeMessage = WM_APP + 0x55;

class TestFrame : public CSkinFrame {
public:
    explicit TestFrame(const SkinSource& source) : CSkinFrame(source) {}
    explicit TestFrame(const std::wstring& layout) : CSkinFrame(MakeSkinSource(layout)) {}

    HWND CreateHidden(HWND owner = nullptr) { return Create(owner, L"test", WS_POPUP, 0, 100, 100, 10, 10); }

    void Notify(NotifyRecord& msg) override {
        notes.push_back(msg);
        // Names are kept now: a sender may be gone by the time a test looks.
        senderNames.push_back(msg.sender != nullptr ? msg.sender->GetName() : std::wstring());
        threads.push_back(::GetCurrentThreadId());
        CSkinFrame::Notify(msg);
    }
    std::vector<NotifyRecord> NotesOf(const std::wstring& type) const {
        std::vector<NotifyRecord> found;
        for (const NotifyRecord& note : notes) {
            if (note.type == type) found.push_back(note);
        }
        return found;
    }
    std::vector<std::wstring> Clicks() const {
        std::vector<std::wstring> names;
        for (size_t i = 0; i < notes.size(); ++i) {
            if (notes[i].type == L"click") names.push_back(senderNames[i]);
        }
        return names;
    }
    POINT CentreOf(const wchar_t* name) {
        m_PaintManager.UpdateLayout();
        const RECT& pos = FindControl(name)->GetPos();
        return POINT{(pos.left + pos.right) / 2, (pos.top + pos.bottom) / 2};
    }
    void Mouse(UINT message, POINT point) {
        ::SendMessageW(m_hWnd, message, message == WM_LBUTTONDOWN ? MK_LBUTTON : 0, MAKELPARAM(point.x, point.y));
    }

    std::vector<NotifyRecord> notes;
    std::vector<std::wstring> senderNames;
    std::vector<DWORD> threads;
    std::function<void(TestFrame&)> onProbe;
    int initCount = 0;

protected:
    void InitWindow() override {
        CSkinFrame::InitWindow();
        ++initCount;
    }
    LRESULT HandleCustomMessage(UINT message, WPARAM, LPARAM, BOOL& handled) override {
        if (message == kProbeMessage && onProbe) {
            onProbe(*this);
            return 0;
        }
        handled = FALSE;
        return 0;
    }
};

// Dispatches this thread's messages the way a modal loop does until `done` holds or the
// time is up.
bool PumpUntil(const std::function<bool()>& done, DWORD timeoutMs = 3000) {
    const DWORD start = ::GetTickCount();
    for (;;) {
        MSG msg;
        while (::PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
            if (!CPaintManagerUI::TranslateMessage(&msg)) {
                ::TranslateMessage(&msg);
                ::DispatchMessageW(&msg);
            }
        }
        if (done()) return true;
        if (::GetTickCount() - start > timeoutMs) return false;
        ::MsgWaitForMultipleObjects(0, nullptr, FALSE, 10, QS_ALLINPUT);
    }
}

void PumpFor(DWORD ms) {
    PumpUntil([] { return false; }, ms);
}

TEST(WindowTest, CreationBuildsTheTreeSizesTheWindowAndInitialisesOnce) {
    TestFrame frame(L"MainWnd.xml");
    ASSERT_NE(nullptr, frame.CreateHidden());
    EXPECT_EQ(1, frame.initCount);
    ASSERT_NE(nullptr, frame.GetPaintManager().GetRoot());
    RECT client{};
    ::GetClientRect(frame, &client);
    EXPECT_EQ(600, client.right);
    EXPECT_EQ(400, client.bottom);
    EXPECT_EQ(0, ::GetWindowLongPtrW(frame, GWL_STYLE) & WS_CAPTION);
    EXPECT_EQ(nullptr, frame.FindControl(L"noSuchControl"));
    EXPECT_EQ(nullptr, frame.FindControl(L""));

    // "windowinit" comes once, from the root, after the first layout.
    frame.GetPaintManager().UpdateLayout();
    frame.GetPaintManager().NeedUpdate();
    frame.GetPaintManager().UpdateLayout();
    const auto inits = frame.NotesOf(L"windowinit");
    ASSERT_EQ(1u, inits.size());
    EXPECT_EQ(frame.GetPaintManager().GetRoot(), inits[0].sender);

    // The window region follows "roundcorner" 4,4.
    HRGN region = ::CreateRectRgn(0, 0, 0, 0);
    ASSERT_NE(ERROR, ::GetWindowRgn(frame, region));
    EXPECT_FALSE(::PtInRegion(region, 0, 0));
    EXPECT_TRUE(::PtInRegion(region, 300, 200));
    EXPECT_TRUE(::PtInRegion(region, 599, 200));
    ::DeleteObject(region);
}

TEST(WindowTest, AMissingArchiveResourceLeavesTheWindowEmptyAndAMissingLayoutFails) {
    static int failures = 0;
    failures = 0;
    const auto previous = WindowImplBase::SetLayoutFailureAction([] { ++failures; });

    SkinSource noArchive = MakeSkinSource(L"MainWnd.xml");
    noArchive.resourceId = 999;
    TestFrame empty(noArchive);
    EXPECT_NE(nullptr, empty.CreateHidden());
    EXPECT_EQ(nullptr, empty.GetPaintManager().GetRoot());
    EXPECT_EQ(0, empty.initCount);
    EXPECT_EQ(0, failures);

    TestFrame missing(L"NoSuchLayout.xml");
    EXPECT_EQ(nullptr, missing.CreateHidden());
    EXPECT_EQ(1, failures);
    WindowImplBase::SetLayoutFailureAction(previous);
}

TEST(WindowTest, TabSelectIsNotSentForThePageAlreadyShown) {
    TestFrame frame(L"MainWnd.xml");
    ASSERT_NE(nullptr, frame.CreateHidden());
    auto* pages = static_cast<CTabLayoutUI*>(frame.FindControl(L"mainTabLt"));
    ASSERT_NE(nullptr, pages);
    EXPECT_FALSE(pages->SelectItem(0));
    EXPECT_TRUE(frame.NotesOf(L"tabselect").empty());

    EXPECT_TRUE(pages->SelectItem(2));
    auto selects = frame.NotesOf(L"tabselect");
    ASSERT_EQ(1u, selects.size());
    EXPECT_EQ(pages, selects[0].sender);
    EXPECT_EQ(2u, selects[0].wParam);
    EXPECT_EQ(0, selects[0].lParam);
    EXPECT_TRUE(pages->GetItemAt(2)->IsVisible());
    EXPECT_FALSE(pages->GetItemAt(0)->IsVisible());
    EXPECT_EQ(pages->GetItemAt(2), frame.GetPaintManager().GetFocus()) << "the shown page takes the focus";

    EXPECT_FALSE(pages->SelectItem(2));
    EXPECT_FALSE(pages->SelectItem(9));
    EXPECT_TRUE(pages->SelectItem(1, false));
    EXPECT_EQ(1, pages->GetCurSel());
    EXPECT_EQ(1u, frame.NotesOf(L"tabselect").size());
}

TEST(WindowTest, AMouseClickNeedsPressAndReleaseOnTheSameEnabledControl) {
    struct Step {
        UINT message;
        const wchar_t* over;
    };
    const struct {
        const char* what;
        std::vector<Step> steps;
        bool disable;
        std::vector<std::wstring> clicks;
    } cases[] = {
        {"press and release", {{WM_LBUTTONDOWN, L"okBtn"}, {WM_LBUTTONUP, L"okBtn"}}, false, {L"okBtn"}},
        {"released elsewhere", {{WM_LBUTTONDOWN, L"okBtn"}, {WM_LBUTTONUP, L"cancelBtn"}}, false, {}},
        {"pressed elsewhere", {{WM_LBUTTONDOWN, L"questionLbl"}, {WM_LBUTTONUP, L"okBtn"}}, false, {}},
        {"away and back",
         {{WM_LBUTTONDOWN, L"okBtn"}, {WM_MOUSEMOVE, L"cancelBtn"}, {WM_MOUSEMOVE, L"okBtn"}, {WM_LBUTTONUP, L"okBtn"}},
         false,
         {L"okBtn"}},
        {"disabled", {{WM_LBUTTONDOWN, L"okBtn"}, {WM_LBUTTONUP, L"okBtn"}}, true, {}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        TestFrame frame(L"ExitTipWnd.xml");
        ASSERT_NE(nullptr, frame.CreateHidden());
        if (c.disable) frame.FindControl(L"okBtn")->SetEnabled(false);
        for (const Step& step : c.steps) frame.Mouse(step.message, frame.CentreOf(step.over));
        EXPECT_EQ(c.clicks, frame.Clicks());
    }
}

TEST(WindowTest, SpaceAndEnterClickTheFocusedButtonAndEscapeIsSwallowed) {
    TestFrame frame(L"ExitTipWnd.xml");
    ASSERT_NE(nullptr, frame.CreateHidden());
    frame.FindControl(L"okBtn")->SetFocus();
    ::SendMessageW(frame, WM_KEYDOWN, VK_SPACE, 0);
    ::SendMessageW(frame, WM_KEYDOWN, 'A', 0);
    EXPECT_EQ(std::vector<std::wstring>{L"okBtn"}, frame.Clicks());

    // Through the message loop's pre-translation: Enter goes on to the button, Escape not.
    const auto translated = [&](WPARAM key) {
        MSG msg{frame.GetHWND(), WM_KEYDOWN, key, 0, 0, {0, 0}};
        return CPaintManagerUI::TranslateMessage(&msg);
    };
    EXPECT_TRUE(translated(VK_ESCAPE));
    EXPECT_FALSE(translated(VK_RETURN));
    EXPECT_FALSE(translated('A'));
    ::PostMessageW(frame, WM_KEYDOWN, VK_ESCAPE, 0);
    ::PostMessageW(frame, WM_KEYDOWN, VK_RETURN, 0);
    PumpFor(100);
    EXPECT_EQ((std::vector<std::wstring>{L"okBtn", L"okBtn"}), frame.Clicks());
    EXPECT_TRUE(::IsWindow(frame));
}

TEST(WindowTest, ACheckBoxClickSendsClickThenSelectChanged) {
    TestFrame frame(L"MainWnd.xml");
    ASSERT_NE(nullptr, frame.CreateHidden());
    static_cast<CTabLayoutUI*>(frame.FindControl(L"mainTabLt"))->SelectItem(1, false);
    auto* check = static_cast<CCheckBoxUI*>(frame.FindControl(L"createDSCb"));
    ASSERT_TRUE(check->IsSelected());
    const POINT centre = frame.CentreOf(L"createDSCb");
    frame.Mouse(WM_LBUTTONDOWN, centre);
    frame.Mouse(WM_LBUTTONUP, centre);
    EXPECT_FALSE(check->IsSelected());
    std::vector<std::wstring> order;
    for (const NotifyRecord& note : frame.notes) {
        if (note.sender == check) order.push_back(note.type);
    }
    EXPECT_EQ((std::vector<std::wstring>{L"click", L"selectchanged"}), order);

    check->Selected(false);
    check->Selected(true, false);
    EXPECT_EQ(1u, frame.NotesOf(L"selectchanged").size());
    check->Selected(false);
    EXPECT_EQ(2u, frame.NotesOf(L"selectchanged").size());
}

TEST(WindowTest, AnEditTakesTypedTextThroughANativeBoxWhileFocused) {
    TestFrame frame(L"MainWnd.xml");
    ASSERT_NE(nullptr, frame.CreateHidden());
    frame.ShowWindow(true, true);
    static_cast<CTabLayoutUI*>(frame.FindControl(L"mainTabLt"))->SelectItem(1, false);
    CControlUI* edit = frame.FindControl(L"installDirEdit");
    edit->SetText(L"C:\\Program Files\\Lumivox");
    const POINT inside = frame.CentreOf(L"installDirEdit");
    frame.Mouse(WM_LBUTTONDOWN, inside);
    frame.Mouse(WM_LBUTTONUP, inside);
    HWND box = ::FindWindowExW(frame, nullptr, L"EDIT", nullptr);
    ASSERT_NE(nullptr, box);
    wchar_t shown[MAX_PATH] = {};
    ::GetWindowTextW(box, shown, MAX_PATH);
    EXPECT_STREQ(L"C:\\Program Files\\Lumivox", shown);
    ::SetWindowTextW(box, L"D:\\Apps");
    EXPECT_EQ(L"D:\\Apps", edit->GetText()) << "read while editing";

    // Clicking elsewhere ends the edit: the box goes, its text stays with the control.
    const POINT label = frame.CentreOf(L"installDirLbl");
    frame.Mouse(WM_LBUTTONDOWN, label);
    frame.Mouse(WM_LBUTTONUP, label);
    ASSERT_TRUE(PumpUntil([&] { return ::FindWindowExW(frame, nullptr, L"EDIT", nullptr) == nullptr; }));
    EXPECT_EQ(L"D:\\Apps", edit->GetText());
    EXPECT_EQ(1u, frame.NotesOf(L"textchanged").size());
}

TEST(WindowTest, TheCaptionBandDragsExceptOverButtons) {
    TestFrame frame(L"ExitTipWnd.xml");
    ASSERT_NE(nullptr, frame.CreateHidden());
    ::SetWindowPos(frame, nullptr, 200, 150, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    const POINT close = frame.CentreOf(L"closebtn");
    const POINT ok = frame.CentreOf(L"okBtn");
    const struct {
        POINT client;
        LRESULT hit;
    } cases[] = {
        {{60, 10}, HTCAPTION},   // over the title label
        {{60, 29}, HTCAPTION},   // last row of the band
        {{60, 30}, HTCLIENT},    // first row below it
        {close, HTCLIENT},       // over the close button
        {ok, HTCLIENT},
    };
    for (const auto& c : cases) {
        const LRESULT hit =
            ::SendMessageW(frame, WM_NCHITTEST, 0, MAKELPARAM(200 + c.client.x, 150 + c.client.y));
        EXPECT_EQ(c.hit, hit) << c.client.x << "," << c.client.y;
    }
}

TEST(WindowTest, ControlTimersTickUntilKilled) {
    TestFrame frame(L"MessageBox1Wnd.xml");
    ASSERT_NE(nullptr, frame.CreateHidden());
    CControlUI* root = frame.GetPaintManager().GetRoot();
    root->KillTimer(99);  // not running: nothing happens
    ASSERT_TRUE(root->SetTimer(10, 20));
    ASSERT_TRUE(PumpUntil([&] { return frame.NotesOf(L"timer").size() >= 2; }));
    const NotifyRecord tick = frame.NotesOf(L"timer")[0];
    EXPECT_EQ(root, tick.sender);
    EXPECT_EQ(10u, tick.wParam);
    root->KillTimer(10);
    const size_t ticks = frame.NotesOf(L"timer").size();
    PumpFor(150);
    EXPECT_EQ(ticks, frame.NotesOf(L"timer").size());
}

TEST(WindowTest, AQueuedNotificationFromAnotherThreadArrivesOnTheWindowThread) {
    TestFrame frame(L"MessageBox1Wnd.xml");
    ASSERT_NE(nullptr, frame.CreateHidden());
    CPaintManagerUI& manager = frame.GetPaintManager();
    std::thread worker([&] { manager.SendNotify(manager.GetRoot(), L"checknet", 0x10000, 0, true); });
    worker.join();
    EXPECT_TRUE(frame.NotesOf(L"checknet").empty()) << "queued, not delivered on the worker";
    ASSERT_TRUE(PumpUntil([&] { return !frame.NotesOf(L"checknet").empty(); }));
    const NotifyRecord note = frame.NotesOf(L"checknet")[0];
    EXPECT_EQ(manager.GetRoot(), note.sender);
    EXPECT_EQ(0x10000u, note.wParam);
    EXPECT_EQ(::GetCurrentThreadId(), frame.threads.back());
}

TEST(WindowTest, ModalRunDisablesTheOwnerAndReturnsTheCloseCode) {
    TestFrame owner(L"MainWnd.xml");
    ASSERT_NE(nullptr, owner.CreateHidden());
    TestFrame dialog(L"ExitTipWnd.xml");
    ASSERT_NE(nullptr, dialog.CreateHidden(owner));
    bool ownerEnabledDuringRun = true;
    dialog.onProbe = [&](TestFrame& self) {
        ownerEnabledDuringRun = ::IsWindowEnabled(owner) != FALSE;
        self.Close(7);
    };
    ::PostMessageW(dialog, kProbeMessage, 0, 0);
    EXPECT_EQ(7u, dialog.ShowModal());
    EXPECT_FALSE(ownerEnabledDuringRun);
    EXPECT_TRUE(::IsWindowEnabled(owner));
    EXPECT_EQ(nullptr, dialog.GetHWND());
}

TEST(WindowTest, TheCloseButtonClosesWithCodeOneAndEscapeLeavesTheDialogOpen) {
    TestFrame owner(L"MainWnd.xml");
    ASSERT_NE(nullptr, owner.CreateHidden());
    TestFrame dialog(L"InstalledPathTipWnd.xml");
    ASSERT_NE(nullptr, dialog.CreateHidden(owner));
    dialog.FindControl(L"okBtn")->SetFocus();
    bool openAfterEscape = false;
    dialog.onProbe = [&](TestFrame& self) {
        openAfterEscape = ::IsWindow(self.GetHWND()) != FALSE;
        const POINT close = self.CentreOf(L"closebtn");
        ::PostMessageW(self, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(close.x, close.y));
        ::PostMessageW(self, WM_LBUTTONUP, 0, MAKELPARAM(close.x, close.y));
    };
    ::PostMessageW(dialog, WM_KEYDOWN, VK_ESCAPE, 0);
    ::PostMessageW(dialog, kProbeMessage, 0, 0);
    EXPECT_EQ(1u, dialog.ShowModal());
    EXPECT_TRUE(openAfterEscape);
    EXPECT_EQ(std::vector<std::wstring>{L"closebtn"}, dialog.Clicks()) << "Escape clicked nothing";
}

TEST(WindowTest, TheSystemCloseCommandClosesWithCodeZero) {
    TestFrame dialog(L"MessageBox2Wnd.xml");
    ASSERT_NE(nullptr, dialog.CreateHidden());
    ::PostMessageW(dialog, WM_SYSCOMMAND, SC_CLOSE, 0);
    EXPECT_EQ(0u, dialog.ShowModal());
}

TEST(WindowTest, AQuitMessageEndsTheModalRunAndIsPostedAgain) {
    TestFrame dialog(L"MessageBox2Wnd.xml");
    ASSERT_NE(nullptr, dialog.CreateHidden());
    ::PostQuitMessage(3);
    dialog.ShowModal();
    EXPECT_TRUE(::IsWindow(dialog));
    MSG msg{};
    ASSERT_TRUE(::PeekMessageW(&msg, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE));
    EXPECT_EQ(3u, msg.wParam);
}

TEST(WindowTest, CentresOnTheWorkAreaOrTheOwnerAndStaysInsideTheWorkArea) {
    RECT work{};
    ::SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0);
    const auto centre = [](HWND window) {
        RECT rect{};
        ::GetWindowRect(window, &rect);
        return POINT{(rect.left + rect.right) / 2, (rect.top + rect.bottom) / 2};
    };

    TestFrame owner(L"MainWnd.xml");
    ASSERT_NE(nullptr, owner.CreateHidden());
    owner.CenterWindow();
    EXPECT_NEAR((work.left + work.right) / 2, centre(owner).x, 1);
    EXPECT_NEAR((work.top + work.bottom) / 2, centre(owner).y, 1);

    ::SetWindowPos(owner, nullptr, work.left + 10, work.top + 20, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    TestFrame dialog(L"ExitTipWnd.xml");
    ASSERT_NE(nullptr, dialog.CreateHidden(owner));
    dialog.CenterWindow();
    EXPECT_NEAR(centre(owner).x, centre(dialog).x, 1);
    EXPECT_NEAR(centre(owner).y, centre(dialog).y, 1);

    // An owner hanging over the work area's corner: the dialog is moved back inside.
    ::SetWindowPos(owner, nullptr, work.right - 100, work.bottom - 50, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    dialog.CenterWindow();
    RECT placed{};
    ::GetWindowRect(dialog, &placed);
    EXPECT_EQ(work.right, placed.right);
    EXPECT_EQ(work.bottom, placed.bottom);
}

std::vector<std::wstring> g_ShadowRequests;

std::unique_ptr<FrameShadow> RecordingShadow(HWND, const CPaintManagerUI& manager) {
    const wchar_t* darkness = manager.GetWindowCustomAttribute(L"shadowdarkness");
    g_ShadowRequests.push_back(darkness != nullptr ? darkness : L"");
    return std::make_unique<FrameShadow>();
}

TEST(WindowTest, TheFrameAsksTheShadowFactoryWhenTheLayoutWantsAShadow) {
    g_ShadowRequests.clear();
    TestFrame plain(L"MessageBox1Wnd.xml");
    ASSERT_NE(nullptr, plain.CreateHidden());
    EXPECT_EQ(nullptr, plain.GetShadow()) << "no factory registered";

    const ShadowFactory previous = CSkinFrame::SetShadowFactory(&RecordingShadow);
    TestFrame main(L"MainWnd.xml");
    ASSERT_NE(nullptr, main.CreateHidden());
    TestFrame installed(L"InstalledPathTipWnd.xml");
    ASSERT_NE(nullptr, installed.CreateHidden());
    CSkinFrame::SetShadowFactory(previous);
    EXPECT_NE(nullptr, main.GetShadow());
    EXPECT_EQ((std::vector<std::wstring>{L"20", L"10"}), g_ShadowRequests);
}

TEST(WindowTest, AComboSendsItemSelectOnlyWhenTheSelectionChanges) {
    TestFrame frame(L"MessageBox1Wnd.xml");
    ASSERT_NE(nullptr, frame.CreateHidden());
    CDialogBuilder builder;
    auto root = builder.CreateFromText(
        "<Window><Combo name=\"languageCombo\"><ListLabelElement text=\"中文\"/><ListLabelElement text=\"English\"/>"
        "</Combo></Window>",
        nullptr, &frame.GetPaintManager());
    ASSERT_NE(nullptr, root);
    frame.GetPaintManager().AttachDialog(std::move(root));
    auto* combo = static_cast<CComboUI*>(frame.FindControl(L"languageCombo"));
    ASSERT_NE(nullptr, combo);
    EXPECT_EQ(-1, combo->GetCurSel());
    EXPECT_TRUE(combo->SelectItem(1));
    EXPECT_FALSE(combo->SelectItem(1));
    EXPECT_FALSE(combo->SelectItem(2));
    EXPECT_TRUE(combo->SelectItem(0, false));
    EXPECT_EQ(0, combo->GetCurSel());
    EXPECT_EQ(L"中文", combo->GetText());
    const auto selects = frame.NotesOf(L"itemselect");
    ASSERT_EQ(1u, selects.size());
    EXPECT_EQ(1u, selects[0].wParam);
    EXPECT_EQ(-1, selects[0].lParam);
}

TEST(StringTableTest, AddFetchAndAbsentNumbers) {
    CPaintManagerUI::RemoveAllMultiLanguageStrings();
    EXPECT_EQ(nullptr, CPaintManagerUI::GetMultiLanguageString(104));
    CPaintManagerUI::AddMultiLanguageString(104, L"磁盘空间不足");
    CPaintManagerUI::AddMultiLanguageString(105, L"x");
    CPaintManagerUI::AddMultiLanguageString(105, L"y");
    ASSERT_NE(nullptr, CPaintManagerUI::GetMultiLanguageString(104));
    EXPECT_STREQ(L"磁盘空间不足", CPaintManagerUI::GetMultiLanguageString(104));
    EXPECT_STREQ(L"y", CPaintManagerUI::GetMultiLanguageString(105));
    EXPECT_EQ(nullptr, CPaintManagerUI::GetMultiLanguageString(106));
    CPaintManagerUI::RemoveAllMultiLanguageStrings();
}

}  // namespace
