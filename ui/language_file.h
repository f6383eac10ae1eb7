// The interface languages (0 "en-US", 1 "zh-CN", 2 "zh-TW") and the reading of the skin's
// optional "language.json": one object per text, {"id": n, "en-US": "...", ...}.
#pragma once

#include <string>
#include <utility>
#include <vector>

constexpr size_t kMaxLanguageFileBytes = 4194304;

// The tag of a language number; "en-US" for numbers outside the table.
std::wstring LanguageTag(int number);

// The number in effect for a requested number and tag: a known tag (exact comparison) wins;
// without a tag an unknown number becomes 0; an unknown tag keeps the number.
int ResolveLanguageNumber(int number, const std::wstring& tag);

// (id written in decimal, text) for every entry of the file in the language `number`;
// false when the file does not parse. An entry without "id" counts as id 0, an absent text
// as empty.
bool ParseLanguageFile(const std::string& json, int number, std::vector<std::pair<std::wstring, std::wstring>>* texts);
