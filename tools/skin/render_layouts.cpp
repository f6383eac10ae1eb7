// Renders the six layouts of the skin archive embedded in this program to 24-bit BMP
// files, offscreen (no window, no display needed): each layout as loaded, the main
// window's four pages and the generic boxes with sample texts. tools/skin/render-layouts.sh
// runs it under Wine and turns the files into PNGs.
//
//   render_layouts.exe <output folder>
#include <windows.h>

#include <cstdio>
#include <memory>
#include <string>

#include "ui/toolkit/dialog_builder.h"
#include "ui/toolkit/dib_surface.h"
#include "ui/toolkit/label_ui.h"
#include "ui/toolkit/paint_manager.h"
#include "ui/toolkit/progress_ui.h"
#include "ui/toolkit/skin_source.h"
#include "ui/toolkit/tab_layout_ui.h"

namespace {

using namespace SkinUI;

// The installer's frame-sequence label is not part of the toolkit; for a still picture a
// label showing one frame of the sequence stands in for it.
class StillSequenceLabel : public CLabelUI {
public:
    void SetAttribute(const std::wstring& name, const std::wstring& value) override {
        if (name == L"sequencebkimage") {
            wchar_t frame[MAX_PATH] = {};
            std::swprintf(frame, MAX_PATH, value.c_str(), 24);
            SetBkImage(frame);
        } else {
            CLabelUI::SetAttribute(name, value);
        }
    }
};

class PreviewHook : public IDialogBuilderCallback {
public:
    std::unique_ptr<CControlUI> CreateControl(const wchar_t* className) override {
        if (_wcsicmp(className, L"SequenceLabel") == 0) return std::make_unique<StillSequenceLabel>();
        return nullptr;
    }
};

template <typename Control>
Control* Find(CPaintManagerUI& manager, const wchar_t* name) {
    return dynamic_cast<Control*>(manager.FindControl(name));
}

// Loads a layout, lets `prepare` set the scene and writes the picture.
template <typename Prepare>
bool Render(const std::wstring& folder, const std::wstring& layout, const std::wstring& picture, Prepare prepare) {
    CPaintManagerUI manager;
    if (!manager.LoadSkinArchiveFromResource(::GetModuleHandleW(nullptr), kSkinArchiveResourceId)) {
        std::fwprintf(stderr, L"no skin archive in this program\n");
        return false;
    }
    PreviewHook hook;
    CDialogBuilder builder;
    std::unique_ptr<CControlUI> root = builder.Create(layout, &hook, &manager);
    if (!root) {
        std::fwprintf(stderr, L"%ls: %ls\n", layout.c_str(), builder.GetLastError().c_str());
        return false;
    }
    manager.AttachDialog(std::move(root));
    prepare(manager);
    const SIZE size = manager.GetInitSize();
    DibSurface surface;
    if (!surface.Create(size.cx, size.cy)) return false;
    const RECT client{0, 0, size.cx, size.cy};
    manager.Render(surface.Dc(), client, client);
    const std::wstring path = folder + L"\\" + picture + L".bmp";
    if (!WriteBmp(path, surface)) {
        std::fwprintf(stderr, L"cannot write %ls\n", path.c_str());
        return false;
    }
    std::wprintf(L"%ls\n", path.c_str());
    return true;
}

void ShowPage(CPaintManagerUI& manager, int page, int titlePage) {
    if (auto* tab = Find<CTabLayoutUI>(manager, L"mainTabLt")) tab->SelectItem(page, false);
    if (auto* title = Find<CTabLayoutUI>(manager, L"titleTabLt")) title->SelectItem(titlePage, false);
}

// Puts a control into its hot (mouse over) or pushed (pressed) state.
void Hover(CPaintManagerUI& manager, const wchar_t* name, bool pressed) {
    CControlUI* control = manager.FindControl(name);
    if (control == nullptr) return;
    manager.UpdateLayout();
    ControlEvent event;
    event.point = POINT{(control->GetPos().left + control->GetPos().right) / 2,
                        (control->GetPos().top + control->GetPos().bottom) / 2};
    event.type = EventType::MouseEnter;
    control->Event(event);
    if (pressed) {
        event.type = EventType::ButtonDown;
        control->Event(event);
    }
}

void SetText(CPaintManagerUI& manager, const wchar_t* name, const wchar_t* text) {
    if (CControlUI* control = manager.FindControl(name)) control->SetText(text);
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
    const std::wstring folder = argc > 1 ? argv[1] : L".";
    const auto nothing = [](CPaintManagerUI&) {};
    bool ok = true;
    ok &= Render(folder, L"mainWnd.xml", L"mainWnd", nothing);
    ok &= Render(folder, L"mainWnd.xml", L"mainWnd-custom", [](CPaintManagerUI& manager) {
        ShowPage(manager, 1, 1);
        SetText(manager, L"installDirEdit", L"C:\\Program Files (x86)\\Lumivox");
    });
    ok &= Render(folder, L"mainWnd.xml", L"mainWnd-installing", [](CPaintManagerUI& manager) {
        ShowPage(manager, 2, 0);
        if (CControlUI* group = manager.FindControl(L"titleGrpCtn")) group->SetVisible(false);
        SetText(manager, L"progressLb", L"正在安装中:42%，请稍候...");
        if (auto* bar = Find<CProgressUI>(manager, L"installPrg")) bar->SetValue(42);
    });
    ok &= Render(folder, L"mainWnd.xml", L"mainWnd-finished", [](CPaintManagerUI& manager) { ShowPage(manager, 3, 2); });
    ok &= Render(folder, L"mainWnd.xml", L"mainWnd-tip", [](CPaintManagerUI& manager) {
        if (CControlUI* tip = manager.FindControl(L"tipLbl")) tip->SetVisible(true);
    });
    ok &= Render(folder, L"mainWnd.xml", L"mainWnd-hot", [](CPaintManagerUI& manager) {
        Hover(manager, L"defaultInstallBtn", false);
        Hover(manager, L"closebtn", false);
        Hover(manager, L"customeBtn", false);
    });
    ok &= Render(folder, L"mainWnd.xml", L"mainWnd-pushed", [](CPaintManagerUI& manager) {
        Hover(manager, L"defaultInstallBtn", true);
        Hover(manager, L"minbtn", true);
    });
    ok &= Render(folder, L"MessageBox1Wnd.xml", L"MessageBox1Wnd", nothing);
    ok &= Render(folder, L"MessageBox1Wnd.xml", L"MessageBox1Wnd-sample", [](CPaintManagerUI& manager) {
        SetText(manager, L"captionLbl", L"温馨提示");
        SetText(manager, L"textLbl", L"安装程序检测到Lumivox\r\n正在运行，请退出程序后再安装");
    });
    ok &= Render(folder, L"MessageBox2Wnd.xml", L"MessageBox2Wnd", nothing);
    ok &= Render(folder, L"MessageBox2Wnd.xml", L"MessageBox2Wnd-sample", [](CPaintManagerUI& manager) {
        SetText(manager, L"captionLbl", L"温馨提示");
        SetText(manager, L"textLbl", L"当前网络环境较差，请在网络通畅时进行安装");
    });
    ok &= Render(folder, L"ExitTipWnd.xml", L"exitTipWnd", nothing);
    ok &= Render(folder, L"ExitTipWnd.xml", L"exitTipWnd-hot", [](CPaintManagerUI& manager) {
        Hover(manager, L"okBtn", false);
        Hover(manager, L"cancelBtn", true);
        Hover(manager, L"closebtn", false);
    });
    ok &= Render(folder, L"NetworkTipWnd.xml", L"NetworkTipWnd", nothing);
    ok &= Render(folder, L"InstalledPathTipWnd.xml", L"InstalledPathTipWnd", nothing);
    return ok ? 0 : 1;
}
