// Test helpers that drive the installer's real windows on the display the test's wrapper
// provides: pumping the thread's messages, clicking controls with posted mouse messages,
// answering the modal dialogs the code under test opens, and screenshots of a window's
// content (rendered from its control tree into a bitmap, because a layered shadow hides
// the window in a picture of the screen).
#pragma once

#include <windows.h>

#include <functional>
#include <string>
#include <vector>

#include "ui/toolkit/window_impl_base.h"

class CMessageBoxWnd;

namespace WindowDriver {

// Dispatches this thread's messages, as a modal loop does, until `done` holds or the time
// is up; false on timeout.
bool PumpUntil(const std::function<bool()>& done, DWORD timeoutMs = 5000);
void PumpFor(DWORD milliseconds);

// Posts a mouse move, press and release over the centre of the named control.
void Click(SkinUI::WindowImplBase& window, const wchar_t* controlName);
// Posts Alt+F4 as the keyboard produces it.
void PressAltF4(HWND window);
void PressKey(HWND window, WPARAM key);

// Saves the window's client area as "<name>.bmp" in the screenshot folder (the
// LUMIVOX_SCREENSHOTS environment variable, else "screenshots" beside the bin folder).
void SaveScreenshot(SkinUI::WindowImplBase& window, const std::wstring& name);

// What a dialog showed when it was answered.
struct SeenDialog {
    std::wstring windowClass;  // the layout's name without ".xml"
    std::wstring text;         // of "textLbl", empty without one
    std::wstring caption;      // of "captionLbl"
};

// Answers the dialogs the code under test opens, one expected dialog after another: each
// is met once it is visible, photographed, recorded and then acted on (a click on a
// control, a key) through posted input, inside the dialog's own modal loop. A dialog that
// nobody expected is recorded with the class "unexpected:<class>" and closed, so that a
// test fails instead of hanging.
class DialogAnswers {
public:
    using Action = std::function<void(CMessageBoxWnd& dialog)>;

    DialogAnswers();
    ~DialogAnswers();
    DialogAnswers(const DialogAnswers&) = delete;
    DialogAnswers& operator=(const DialogAnswers&) = delete;

    // `windowClass` is the layout's file name without ".xml", e.g. "MessageBox2Wnd".
    DialogAnswers& Expect(const std::wstring& windowClass, Action action, const std::wstring& screenshot = L"");
    static Action ClickOn(const wchar_t* controlName);
    static Action AltF4();

    const std::vector<SeenDialog>& Seen() const { return m_Seen; }
    bool AllAnswered() const { return m_Next >= m_Expected.size(); }

private:
    struct Expected {
        std::wstring windowClass;
        Action action;
        std::wstring screenshot;
    };
    static void CALLBACK OnTimer(HWND, UINT, UINT_PTR, DWORD);
    void Poll();

    std::vector<Expected> m_Expected;
    size_t m_Next = 0;
    std::vector<SeenDialog> m_Seen;
    std::vector<HWND> m_Handled;
    UINT_PTR m_Timer = 0;
    DWORD m_UnexpectedSince = 0;
};

// The skinned window object behind a native window of this process, or nullptr.
SkinUI::WindowImplBase* WindowObject(HWND window);

}  // namespace WindowDriver
