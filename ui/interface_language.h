// The interface language: texts of one of the three languages loaded from the skin's
// optional "language.json" into the toolkit's table of numbered strings, the optional
// language list of the main window, and the language recorded in an installed product's
// "config.ini". The shipped skin carries no language file, so its loads store nothing and
// return 0.
//
// Window thread only. `skin` is the paint manager of the window whose skin archive holds
// the language file (the main window's).
#pragma once

#include <string>

namespace SkinUI {
class CPaintManagerUI;
}

// Number of the low-disk-space text in the string table.
constexpr int kLowDiskSpaceStringId = 104;

// Loads the texts of a language into the string table; returns the language number in
// effect (0 without a language file). A known tag (exact comparison) replaces the number.
int LoadLanguageStrings(const SkinUI::CPaintManagerUI& skin, int number, const std::wstring& tag);

// Loads the language, lays the window out again, refits "lbLanguage", "lbInstallPath" and
// "backBtn" to their texts, and stores the number in effect as the language setting.
void ApplyLanguage(SkinUI::CPaintManagerUI& skin, int number);

// The language of the product installed in `folder` (its "config.ini"), loaded; returns
// the number in effect.
int InstalledProductLanguage(SkinUI::CPaintManagerUI& skin, const std::wstring& folder);

// Tag of the item selected in "languageCombo"; empty without that list.
std::wstring SelectedLanguageTag(const SkinUI::CPaintManagerUI& skin);

// Records the installation in the product's profile files: the analytics keys of its
// "set.ini" and "QLAnalytics.ini", and "Language" in "<installFolder>\config.ini".
void WriteInstallProfile(const std::wstring& installFolder);
