#include "ui/interface_language.h"

#include <windows.h>

#include <clocale>
#include <utility>
#include <vector>

#include "analytics/product_analytics_keys.h"
#include "app/installer_settings.h"
#include "ui/language_file.h"
#include "ui/toolkit/combo_ui.h"
#include "ui/toolkit/label_ui.h"
#include "ui/toolkit/paint_manager.h"
#include "utils/guid_string.h"

namespace {

constexpr wchar_t kLanguageFile[] = L"language.json";

void RequestLayout(SkinUI::CPaintManagerUI& skin) {
    if (SkinUI::CControlUI* root = skin.GetRoot()) root->NeedUpdate();
}

// A label as wide as its text plus its left text inset.
void FitToText(SkinUI::CPaintManagerUI& skin, const wchar_t* name) {
    auto* label = dynamic_cast<SkinUI::CLabelUI*>(skin.FindControl(name));
    if (label == nullptr) return;
    const SIZE extent = skin.MeasureText(label->GetFont(), label->GetText());
    label->SetFixedWidth(extent.cx + label->GetTextPadding().left);
}

std::wstring RunningInstallerFileName() {
    wchar_t path[MAX_PATH] = {};
    ::GetModuleFileNameW(nullptr, path, MAX_PATH);
    const std::wstring full = path;
    const size_t slash = full.find_last_of(L"\\/");
    return slash == std::wstring::npos ? full : full.substr(slash + 1);
}

// The keys that lead the installed product's tracker to its identity file; the analytics
// layer owns their names and order.
void WriteProductAnalyticsProfile(const std::wstring& installFolder) {
    quillon::tracking::WriteProductAnalyticsKeys(installFolder, RunningInstallerFileName(),
                                                 g_InstallerSettings.m_ProductId, Utils::NewGuidString());
}

}  // namespace

int LoadLanguageStrings(const SkinUI::CPaintManagerUI& skin, int number, const std::wstring& tag) {
    const SkinUI::SkinArchive::Item* item =
        skin.HasSkinArchive() ? skin.GetSkinArchive().Find(kLanguageFile) : nullptr;
    if (item == nullptr || item->size == 0 || item->size > kMaxLanguageFileBytes) return 0;

    const int language = ResolveLanguageNumber(number, tag);
    std::vector<std::pair<std::wstring, std::wstring>> texts;
    const std::string json(reinterpret_cast<const char*>(item->data), item->size);
    if (!ParseLanguageFile(json, language, &texts)) return language;
    for (const auto& text : texts) {
        SkinUI::CPaintManagerUI::AddMultiLanguageString(static_cast<int>(std::wcstol(text.first.c_str(), nullptr, 10)),
                                                        text.second);
    }
    return language;
}

void ApplyLanguage(SkinUI::CPaintManagerUI& skin, int number) {
    const int language = LoadLanguageStrings(skin, number, std::wstring());
    RequestLayout(skin);
    FitToText(skin, L"lbLanguage");
    FitToText(skin, L"lbInstallPath");
    FitToText(skin, L"backBtn");
    g_InstallerSettings.m_Language = language;
}

int InstalledProductLanguage(SkinUI::CPaintManagerUI& skin, const std::wstring& folder) {
    const std::wstring configFile = folder + L"\\config.ini";
    std::wstring tag;
    if (::GetFileAttributesW(configFile.c_str()) != INVALID_FILE_ATTRIBUTES) {
        wchar_t value[MAX_PATH] = {};
        ::GetPrivateProfileStringW(L"Install", L"Language", L"en-US", value, MAX_PATH, configFile.c_str());
        tag = value;
    }
    const int language = LoadLanguageStrings(skin, 0, tag);
    RequestLayout(skin);
    return language;
}

std::wstring SelectedLanguageTag(const SkinUI::CPaintManagerUI& skin) {
    auto* list = dynamic_cast<SkinUI::CComboUI*>(skin.FindControl(L"languageCombo"));
    if (list == nullptr) return std::wstring();
    return LanguageTag(list->GetCurSel());
}

void WriteInstallProfile(const std::wstring& installFolder) {
    // The product's own tools read these files in that locale; the outcome does not matter.
    std::setlocale(LC_ALL, "en_GB.UTF-8");
    WriteProductAnalyticsProfile(installFolder);
    const std::wstring configFile = installFolder + L"\\config.ini";
    ::WritePrivateProfileStringW(L"Install", L"Language", g_InstallerSettings.m_Language == 2 ? L"zh-TW" : L"en-US",
                                 configFile.c_str());
}
