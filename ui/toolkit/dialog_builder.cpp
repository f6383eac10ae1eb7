#include "ui/toolkit/dialog_builder.h"

#include "ui/toolkit/box_layout_ui.h"
#include "ui/toolkit/combo_ui.h"
#include "ui/toolkit/container_ui.h"
#include "ui/toolkit/edit_ui.h"
#include "ui/toolkit/label_ui.h"
#include "ui/toolkit/markup_values.h"
#include "ui/toolkit/option_ui.h"
#include "ui/toolkit/paint_manager.h"
#include "ui/toolkit/progress_ui.h"
#include "ui/toolkit/tab_layout_ui.h"
#include "utils/debug_trace.h"

namespace SkinUI {

namespace {

void ApplyWindowAttribute(CPaintManagerUI* manager, const std::wstring& name, const std::wstring& value) {
    if (name == L"size") {
        const SIZE size = ParseSizeValue(value);
        manager->SetInitSize(size.cx, size.cy);
    } else if (name == L"caption") {
        manager->SetCaptionRect(ParseRectValue(value));
    } else if (name == L"roundcorner") {
        manager->SetRoundCorner(ParseSizeValue(value));
    } else {
        // Everything else (the drop shadow's settings among it) is kept for the frame.
        manager->AddWindowCustomAttribute(name, value);
    }
}

void AddFont(CPaintManagerUI* manager, const XmlElement& element) {
    const std::wstring* id = element.Attribute(L"id");
    const std::wstring* name = element.Attribute(L"name");
    if (id == nullptr || name == nullptr) return;
    FontInfo info;
    info.name = name->substr(0, 31);
    if (const std::wstring* size = element.Attribute(L"size")) info.size = ParseIntValue(*size);
    if (const std::wstring* bold = element.Attribute(L"bold")) info.bold = ParseBoolValue(*bold);
    if (const std::wstring* underline = element.Attribute(L"underline")) info.underline = ParseBoolValue(*underline);
    if (const std::wstring* italic = element.Attribute(L"italic")) info.italic = ParseBoolValue(*italic);
    const std::wstring* isDefault = element.Attribute(L"default");
    manager->AddFont(ParseIntValue(*id), info, isDefault != nullptr && ParseBoolValue(*isDefault));
}

}  // namespace

std::unique_ptr<CControlUI> CDialogBuilder::CreateKnownControl(const std::wstring& className) {
    const std::wstring name = ToLower(className);
    if (name == L"control") return std::make_unique<CControlUI>();
    if (name == L"label") return std::make_unique<CLabelUI>();
    if (name == L"button") return std::make_unique<CButtonUI>();
    if (name == L"option") return std::make_unique<COptionUI>();
    if (name == L"checkbox") return std::make_unique<CCheckBoxUI>();
    if (name == L"edit") return std::make_unique<CEditUI>();
    if (name == L"progress") return std::make_unique<CProgressUI>();
    if (name == L"container") return std::make_unique<CContainerUI>();
    if (name == L"verticallayout") return std::make_unique<CVerticalLayoutUI>();
    if (name == L"horizontallayout") return std::make_unique<CHorizontalLayoutUI>();
    if (name == L"tablayout") return std::make_unique<CTabLayoutUI>();
    if (name == L"combo") return std::make_unique<CComboUI>();
    if (name == L"listlabelelement") return std::make_unique<CLabelUI>();
    return nullptr;
}

std::unique_ptr<CControlUI> CDialogBuilder::Create(const std::wstring& layoutFile, IDialogBuilderCallback* callback,
                                                   CPaintManagerUI* manager) {
    std::string text;
    if (!manager->ReadSkinItem(layoutFile, &text)) {
        m_Error = L"layout " + layoutFile + L" not found";
        Utils::TraceAt(L"SkinUI::CDialogBuilder::Create", __LINE__, L"%s", m_Error.c_str());
        return nullptr;
    }
    return CreateFromText(text, callback, manager);
}

std::unique_ptr<CControlUI> CDialogBuilder::CreateFromText(const std::string& layoutText,
                                                           IDialogBuilderCallback* callback,
                                                           CPaintManagerUI* manager) {
    XmlElement document;
    std::wstring error;
    if (!ParseXmlDocument(layoutText, &document, &error)) {
        m_Error = L"layout not readable: " + error;
        Utils::TraceAt(L"SkinUI::CDialogBuilder::CreateFromText", __LINE__, L"%s", m_Error.c_str());
        return nullptr;
    }
    if (!EqualsNoCase(document.name, L"Window")) {
        m_Error = L"layout root is <" + document.name + L">, not <Window>";
        return nullptr;
    }
    return Build(document, callback, manager);
}

std::unique_ptr<CControlUI> CDialogBuilder::Build(const XmlElement& window, IDialogBuilderCallback* callback,
                                                  CPaintManagerUI* manager) {
    for (const auto& attribute : window.attributes) ApplyWindowAttribute(manager, attribute.first, attribute.second);
    std::unique_ptr<CControlUI> root;
    for (const XmlElement& child : window.children) {
        if (EqualsNoCase(child.name, L"Font")) {
            AddFont(manager, child);
        } else if (!root) {
            root = BuildControl(child, callback);
        }
    }
    if (!root) m_Error = L"layout holds no control";
    return root;
}

std::unique_ptr<CControlUI> CDialogBuilder::BuildControl(const XmlElement& element, IDialogBuilderCallback* callback) {
    std::unique_ptr<CControlUI> control = CreateKnownControl(element.name);
    if (!control && callback != nullptr) control = callback->CreateControl(element.name.c_str());
    if (!control) return nullptr;

    for (const auto& attribute : element.attributes) control->SetAttribute(attribute.first, attribute.second);
    if (auto* container = static_cast<CContainerUI*>(control->GetInterface(L"Container"))) {
        for (const XmlElement& child : element.children) container->Add(BuildControl(child, callback));
    }
    return control;
}

}  // namespace SkinUI
