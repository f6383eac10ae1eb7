// The six layouts shipped in the skin archive, parsed by the toolkit: window attributes,
// the control tree with its names, pages and settings, and every image they name.
#include <gtest/gtest.h>

#include <windows.h>

#include <set>
#include <string>
#include <vector>

#include "tests/ui/toolkit/offscreen_layout.h"
#include "ui/toolkit/box_layout_ui.h"
#include "ui/toolkit/edit_ui.h"
#include "ui/toolkit/image_descriptor.h"
#include "ui/toolkit/label_ui.h"
#include "ui/toolkit/markup_values.h"
#include "ui/toolkit/option_ui.h"
#include "ui/toolkit/progress_ui.h"
#include "ui/toolkit/skin_archive.h"
#include "ui/toolkit/skin_source.h"
#include "ui/toolkit/tab_layout_ui.h"
#include "ui/toolkit/xml_document.h"

namespace {

using namespace SkinUI;
using ToolkitTest::OffscreenLayout;

// Records the class names offered to it; answers "SequenceLabel" with a plain label.
class RecordingHook : public IDialogBuilderCallback {
public:
    std::unique_ptr<CControlUI> CreateControl(const wchar_t* className) override {
        offered.push_back(className);
        if (EqualsNoCase(className, L"SequenceLabel")) return std::make_unique<CLabelUI>();
        return nullptr;
    }
    std::vector<std::wstring> offered;
};

class DecliningHook : public IDialogBuilderCallback {
public:
    std::unique_ptr<CControlUI> CreateControl(const wchar_t*) override { return nullptr; }
};

std::wstring Attribute(CPaintManagerUI& manager, const wchar_t* name) {
    const wchar_t* value = manager.GetWindowCustomAttribute(name);
    return value != nullptr ? value : L"(absent)";
}

TEST(ShippedLayoutsTest, MainWindowAttributesAndTheUnknownElementOfferedToTheHook) {
    RecordingHook hook;
    OffscreenLayout layout("MainWnd.xml", true, &hook);
    ASSERT_TRUE(layout.IsBuilt()) << layout.Error();
    CPaintManagerUI& manager = layout.Manager();
    EXPECT_EQ(600, manager.GetInitSize().cx);
    EXPECT_EQ(400, manager.GetInitSize().cy);
    EXPECT_EQ(0, manager.GetCaptionRect().left);
    EXPECT_EQ(35, manager.GetCaptionRect().bottom);
    EXPECT_EQ(L"true", Attribute(manager, L"showshadow"));
    EXPECT_EQ(L"6", Attribute(manager, L"shadowsize"));
    EXPECT_EQ(L"10", Attribute(manager, L"shadowsharpness"));
    EXPECT_EQ(L"1,1", Attribute(manager, L"shadowposition"));
    EXPECT_EQ(L"20", Attribute(manager, L"shadowdarkness"));
    EXPECT_EQ(L"#26003B76", Attribute(manager, L"ShadowColor"));
    EXPECT_EQ(L"(absent)", Attribute(manager, L"size"));

    EXPECT_EQ(std::vector<std::wstring>{L"SequenceLabel"}, hook.offered);
    ASSERT_NE(nullptr, layout.Find(L"progressAnLb"));
    EXPECT_EQ(156, layout.Find(L"progressAnLb")->GetFixedWidth());
    EXPECT_EQ(154, layout.Find(L"progressAnLb")->GetFixedHeight());
}

TEST(ShippedLayoutsTest, AnElementTheHookDeclinesIsSkipped) {
    DecliningHook hook;
    OffscreenLayout layout("mainWnd.xml", true, &hook);
    ASSERT_TRUE(layout.IsBuilt()) << layout.Error();
    EXPECT_EQ(nullptr, layout.Find(L"progressAnLb"));
    EXPECT_NE(nullptr, layout.Find(L"progressLb"));
}

TEST(ShippedLayoutsTest, MainWindowControlTreeAndPages) {
    RecordingHook hook;
    OffscreenLayout layout("MainWnd.xml", true, &hook);
    ASSERT_TRUE(layout.IsBuilt()) << layout.Error();

    const struct {
        const wchar_t* name;
        const wchar_t* kind;
    } controls[] = {
        {L"winCtn", L"VerticalLayout"},        {L"titleTabLt", L"TabLayout"},      {L"mainTabLt", L"TabLayout"},
        {L"defaultInstallBtn", L"Button"},     {L"customeInstallBtn", L"Button"},  {L"customeBtn", L"Button"},
        {L"treatyBtn", L"CheckBox"},           {L"backBtn", L"Button"},            {L"treatyCb", L"CheckBox"},
        {L"chDirBtn", L"Button"},              {L"installDirEdit", L"Edit"},       {L"openProduceBtn", L"Button"},
        {L"titleGrpCtn", L"HorizontalLayout"}, {L"progressLb", L"Label"},          {L"createDSCb", L"CheckBox"},
        {L"createQSCb", L"CheckBox"},          {L"installPrg", L"Progress"},       {L"tipLbl", L"Label"},
        {L"minbtn", L"Button"},                {L"closebtn", L"Button"},
    };
    for (const auto& c : controls) {
        CControlUI* control = layout.Find(c.name);
        ASSERT_NE(nullptr, control) << c.name;
        EXPECT_EQ(c.kind, control->GetClass()) << c.name;
    }
    for (const wchar_t* absent : {L"serviceCb", L"ableftBtn", L"abrightBtn", L"finishedLbl", L"softNameLbl",
                                  L"installLogo", L"languageCombo", L"bTitleLbl1", L"bTitleLbl2", L"bTitleLbl3"}) {
        EXPECT_EQ(nullptr, layout.Find(absent)) << absent;
    }

    auto* pages = layout.FindAs<CTabLayoutUI>(L"mainTabLt");
    ASSERT_EQ(4, pages->GetCount());
    EXPECT_EQ(0, pages->GetCurSel());
    // Each named control lies on its page.
    const struct {
        const wchar_t* name;
        int page;
    } onPage[] = {{L"defaultInstallBtn", 0}, {L"treatyCb", 0}, {L"customeBtn", 0}, {L"installDirEdit", 1},
                  {L"customeInstallBtn", 1}, {L"createQSCb", 1}, {L"progressAnLb", 2}, {L"installPrg", 2},
                  {L"openProduceBtn", 3}};
    for (const auto& c : onPage) EXPECT_NE(nullptr, pages->GetItemAt(c.page)->FindControlByName(c.name)) << c.name;
    for (int page = 0; page < 4; ++page) EXPECT_EQ(page == 0, pages->GetItemAt(page)->IsVisible()) << page;

    auto* title = layout.FindAs<CTabLayoutUI>(L"titleTabLt");
    ASSERT_EQ(3, title->GetCount());
    EXPECT_EQ(0, title->GetCurSel());
    EXPECT_NE(nullptr, title->GetItemAt(1)->FindControlByName(L"backBtn"));

    EXPECT_EQ(L"res\\mainWnd\\bg1.png", layout.Find(L"winCtn")->GetBkImage());
    EXPECT_EQ(L"立即安装", layout.Find(L"defaultInstallBtn")->GetText());
    EXPECT_EQ(L"自定义安装", layout.Find(L"customeBtn")->GetText());
    EXPECT_EQ(L"已同意", layout.Find(L"treatyCb")->GetText());
    EXPECT_EQ(L"《用户许可协议》", layout.Find(L"treatyBtn")->GetText());
    EXPECT_EQ(L"创建桌面快捷方式", layout.Find(L"createDSCb")->GetText());
    EXPECT_EQ(L"添加到快速启动栏", layout.Find(L"createQSCb")->GetText());
    EXPECT_EQ(L"正在安装中:0%，请稍候...", layout.Find(L"progressLb")->GetText());
    EXPECT_EQ(L"", layout.Find(L"progressLb")->GetUserData());
    EXPECT_TRUE(layout.FindAs<CCheckBoxUI>(L"treatyCb")->IsSelected());
    EXPECT_TRUE(layout.FindAs<CCheckBoxUI>(L"createDSCb")->IsSelected());
    EXPECT_TRUE(layout.FindAs<CCheckBoxUI>(L"createQSCb")->IsSelected());
    EXPECT_FALSE(layout.Find(L"tipLbl")->IsVisible());
    EXPECT_FALSE(layout.Find(L"treatyCb")->GetParent()->IsVisible()) << "the agreement row is hidden";

    auto* bar = layout.FindAs<CProgressUI>(L"installPrg");
    EXPECT_EQ(0, bar->GetMinValue());
    EXPECT_EQ(100, bar->GetMaxValue());
    EXPECT_EQ(0, bar->GetValue());
    EXPECT_EQ(L"file='res\\mainWnd\\installPrg2.png' corner='4,4,4,4'", bar->GetForeImage());
}

TEST(ShippedLayoutsTest, MainWindowLaysOutTheTitleBandAndCentresTheInstallButton) {
    RecordingHook hook;
    OffscreenLayout layout("MainWnd.xml", true, &hook);
    ASSERT_TRUE(layout.IsBuilt()) << layout.Error();
    layout.Render();
    const RECT& close = layout.Find(L"closebtn")->GetPos();
    EXPECT_LE(close.bottom, 35);
    EXPECT_GT(close.left, 500);
    EXPECT_LE(close.right, 600);
    const RECT& install = layout.Find(L"defaultInstallBtn")->GetPos();
    EXPECT_EQ(220, install.right - install.left);
    EXPECT_EQ(300, (install.left + install.right) / 2);
    const RECT& pages = layout.Find(L"mainTabLt")->GetPos();
    EXPECT_EQ(35, pages.top);
    EXPECT_EQ(400, pages.bottom);
}

struct DialogCase {
    const char* layout;
    int width;
    bool hasTextAndCaption;
    const wchar_t* okText;      // nullptr: no "okBtn"
    const wchar_t* cancelText;  // nullptr: no "cancelBtn"
    bool okLeftOfCancel;
    const wchar_t* shadowDarkness;
    const wchar_t* shadowColour;
};

TEST(ShippedLayoutsTest, DialogLayouts) {
    const DialogCase cases[] = {
        {"MessageBox1Wnd.xml", 360, true, nullptr, nullptr, false, L"20", L"#26003B76"},
        {"MessageBox2Wnd.xml", 360, true, nullptr, nullptr, false, L"20", L"#26003B76"},
        {"ExitTipWnd.xml", 360, false, L"是", L"否", true, L"20", L"#26003B76"},
        {"NetworkTipWnd.xml", 360, false, L"重新安装", L"稍后再试", false, L"20", L"#26003B76"},
        {"InstalledPathTipWnd.xml", 400, false, L"安装最新版本", L"打开软件", false, L"10", L"#FFEDF0F4"},
    };
    for (const DialogCase& c : cases) {
        SCOPED_TRACE(c.layout);
        OffscreenLayout layout(c.layout, true);
        ASSERT_TRUE(layout.IsBuilt()) << layout.Error();
        CPaintManagerUI& manager = layout.Manager();
        EXPECT_EQ(c.width, manager.GetInitSize().cx);
        EXPECT_EQ(180, manager.GetInitSize().cy);
        EXPECT_EQ(30, manager.GetCaptionRect().bottom);
        EXPECT_EQ(L"true", Attribute(manager, L"showshadow"));
        EXPECT_EQ(c.shadowDarkness, Attribute(manager, L"shadowdarkness"));
        EXPECT_EQ(c.shadowColour, Attribute(manager, L"shadowcolor"));
        EXPECT_NE(nullptr, layout.Find(L"closebtn"));
        EXPECT_EQ(c.hasTextAndCaption, layout.Find(L"textLbl") != nullptr);
        EXPECT_EQ(c.hasTextAndCaption, layout.Find(L"captionLbl") != nullptr);
        if (c.hasTextAndCaption) {
            EXPECT_EQ(L"TEXT", layout.Find(L"textLbl")->GetText());
            EXPECT_EQ(L"CAPTION", layout.Find(L"captionLbl")->GetText());
            EXPECT_TRUE(layout.FindAs<CLabelUI>(L"textLbl")->IsMultiLine());
            EXPECT_EQ(static_cast<UINT>(DT_CENTER), layout.FindAs<CLabelUI>(L"textLbl")->GetTextStyle() & DT_CENTER);
        }
        CControlUI* ok = layout.Find(L"okBtn");
        CControlUI* cancel = layout.Find(L"cancelBtn");
        ASSERT_EQ(c.okText != nullptr, ok != nullptr);
        ASSERT_EQ(c.cancelText != nullptr, cancel != nullptr);
        if (ok == nullptr) continue;
        EXPECT_EQ(c.okText, ok->GetText());
        EXPECT_EQ(c.cancelText, cancel->GetText());
        layout.Render();
        EXPECT_EQ(c.okLeftOfCancel, ok->GetPos().left < cancel->GetPos().left);
        EXPECT_EQ(32, ok->GetPos().bottom - ok->GetPos().top);
    }
    OffscreenLayout installed("InstalledPathTipWnd.xml", true);
    EXPECT_EQ(110, installed.Find(L"okBtn")->GetFixedWidth());
    EXPECT_EQ(100, installed.Find(L"cancelBtn")->GetFixedWidth());
    EXPECT_EQ(1, installed.Manager().GetRoundCorner().cx);
    EXPECT_EQ(0, installed.Manager().GetRoundCorner().cy);
}

// Every image a layout names is in the archive, except the four disabled or finishing
// images the skin deliberately lacks.
TEST(ShippedLayoutsTest, EveryImageNamedByALayoutIsInTheArchive) {
    SkinArchive archive;
    ASSERT_TRUE(archive.OpenResource(::GetModuleHandleW(nullptr), kSkinArchiveResourceId));
    const std::set<std::wstring> knownMissing = {L"res\\common\\minbtn4.png", L"res\\common\\closebtn4.png",
                                                 L"res\\common\\closebtnM_4.png"};
    std::set<std::wstring> missing;
    int named = 0;
    std::vector<const XmlElement*> pending;
    std::vector<XmlElement> documents;
    for (const wchar_t* name : {L"mainWnd.xml", L"MessageBox1Wnd.xml", L"MessageBox2Wnd.xml", L"exitTipWnd.xml",
                                L"NetworkTipWnd.xml", L"InstalledPathTipWnd.xml"}) {
        const SkinArchive::Item* item = archive.Find(name);
        ASSERT_NE(nullptr, item) << name;
        documents.emplace_back();
        std::wstring error;
        ASSERT_TRUE(ParseXmlDocument(std::string(reinterpret_cast<const char*>(item->data), item->size),
                                     &documents.back(), &error))
            << error;
    }
    for (const XmlElement& document : documents) pending.push_back(&document);
    while (!pending.empty()) {
        const XmlElement* element = pending.back();
        pending.pop_back();
        for (const XmlElement& child : element->children) pending.push_back(&child);
        for (const auto& attribute : element->attributes) {
            const std::wstring& key = attribute.first;
            if (key.size() < 5 || key.compare(key.size() - 5, 5, L"image") != 0 || key == L"sequencebkimage") continue;
            const std::wstring file = ParseImageDescriptor(attribute.second).file;
            ++named;
            if (archive.Find(file) == nullptr) missing.insert(file);
        }
    }
    EXPECT_GT(named, 40);
    EXPECT_EQ(knownMissing, missing);
}

}  // namespace
