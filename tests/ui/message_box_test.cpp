// The message and tip dialogs as a person meets them: shown modally over a window, answered
// with mouse clicks and keys, and what each answer returns.
#include <gtest/gtest.h>

#include <windows.h>

#include <string>
#include <vector>

#include "tests/ui/window_driver.h"
#include "ui/message_box_wnd.h"
#include "ui/toolkit/skin_frame.h"

namespace {

using WindowDriver::DialogAnswers;

// A package message long enough to wrap over several lines of the body.
const wchar_t kLongText[] =
    L"安装包在安装过程中报告了一条很长的消息，它需要在消息框的正文中折行显示，并且保持居中，不能超出对话框的边界。";

struct Owner {
    Owner() : frame(SkinUI::MakeSkinSource(L"MainWnd.xml")) {
        frame.Create(nullptr, L"owner", WS_VISIBLE | WS_POPUP, 0, 200, 100, 600, 400);
    }
    SkinUI::CSkinFrame frame;
};

TEST(Dialogs, EveryAnswerOfEveryLayout) {
    const struct {
        const wchar_t* layout;
        const wchar_t* text;
        const wchar_t* caption;
        DialogAnswers::Action answer;
        int result;
        std::wstring shownText;
        std::wstring shownCaption;
        const wchar_t* screenshot;
    } cases[] = {
        {L"MessageBox2Wnd.xml", L"无效路径", L"温馨提示", DialogAnswers::ClickOn(L"closebtn"), 2, L"无效路径",
         L"温馨提示", L"dialog-MessageBox2Wnd-invalid-path"},
        {L"MessageBox1Wnd.xml", L"安装程序检测到Lumivox\r\n正在运行，请退出程序后再安装", L"温馨提示",
         DialogAnswers::AltF4(), 1, L"安装程序检测到Lumivox\r\n正在运行，请退出程序后再安装", L"温馨提示",
         L"dialog-MessageBox1Wnd-running"},
        {L"MessageBox1Wnd.xml", nullptr, nullptr, DialogAnswers::ClickOn(L"closebtn"), 2, L"TEXT", L"CAPTION",
         L"dialog-MessageBox1Wnd-placeholders"},
        {L"MessageBox1Wnd.xml", kLongText, L"消息", DialogAnswers::ClickOn(L"closebtn"), 2, kLongText, L"消息",
         L"dialog-MessageBox1Wnd-long-text"},
        {L"ExitTipWnd.xml", L"ignored", L"ignored", DialogAnswers::ClickOn(L"okBtn"), 0, L"", L"", L"dialog-exitTip"},
        {L"ExitTipWnd.xml", nullptr, nullptr, DialogAnswers::ClickOn(L"cancelBtn"), 1, L"", L"", nullptr},
        {L"ExitTipWnd.xml", nullptr, nullptr, DialogAnswers::AltF4(), 1, L"", L"", nullptr},
        {L"ExitTipWnd.xml", nullptr, nullptr, DialogAnswers::ClickOn(L"closebtn"), 2, L"", L"", nullptr},
        {L"NetworkTipWnd.xml", nullptr, nullptr, DialogAnswers::ClickOn(L"okBtn"), 0, L"", L"", L"dialog-networkTip"},
        {L"NetworkTipWnd.xml", nullptr, nullptr, DialogAnswers::ClickOn(L"cancelBtn"), 1, L"", L"", nullptr},
        {L"InstalledPathTipWnd.xml", nullptr, nullptr, DialogAnswers::AltF4(), 1, L"", L"", L"dialog-installedPathTip"},
        {L"InstalledPathTipWnd.xml", nullptr, nullptr, DialogAnswers::ClickOn(L"okBtn"), 0, L"", L"", nullptr},
    };
    Owner owner;
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.layout, c.layout + wcslen(c.layout)) + " result " + std::to_string(c.result));
        const SkinUI::SkinSource source = SkinUI::MakeSkinSource(c.layout);
        DialogAnswers answers;
        answers.Expect(source.windowClassName, c.answer, c.screenshot != nullptr ? c.screenshot : L"");
        EXPECT_EQ(c.result, ShowMessageBox(owner.frame, source, c.text, c.caption));
        EXPECT_TRUE(::IsWindowEnabled(owner.frame)) << "the owner is enabled again";
        ASSERT_EQ(1u, answers.Seen().size());
        EXPECT_EQ(source.windowClassName, answers.Seen()[0].windowClass);
        EXPECT_EQ(c.shownText, answers.Seen()[0].text);
        EXPECT_EQ(c.shownCaption, answers.Seen()[0].caption);
    }
}

TEST(Dialogs, TheOwnerIsDisabledWhileTheDialogRunsAndEscapeLeavesItOpen) {
    Owner owner;
    bool ownerEnabledDuringRun = true;
    bool openAfterEscape = false;
    DialogAnswers answers;
    answers.Expect(L"ExitTipWnd", [&](CMessageBoxWnd& dialog) {
        ownerEnabledDuringRun = ::IsWindowEnabled(owner.frame) != FALSE;
        dialog.FindControl(L"okBtn")->SetFocus();
        WindowDriver::PressKey(dialog, VK_ESCAPE);
        // The Escape is handled in this nested pump; the dialog must still be there after it.
        WindowDriver::PumpFor(200);
        openAfterEscape = ::IsWindowVisible(dialog) != FALSE;
        WindowDriver::Click(dialog, L"cancelBtn");
    });
    EXPECT_EQ(1, ShowMessageBox(owner.frame, SkinUI::MakeSkinSource(L"ExitTipWnd.xml"), nullptr, nullptr));
    EXPECT_FALSE(ownerEnabledDuringRun);
    EXPECT_TRUE(openAfterEscape);
}

}  // namespace
