#include "ui/language_file.h"

#include <json/json.h>

#include <memory>

#include "utils/text_convert.h"

namespace {

constexpr const char* kTags[] = {"en-US", "zh-CN", "zh-TW"};

bool IsKnownNumber(int number) { return number >= 0 && number <= 2; }

}  // namespace

std::wstring LanguageTag(int number) {
    return Utils::Utf8ToWide(kTags[IsKnownNumber(number) ? number : 0]);
}

int ResolveLanguageNumber(int number, const std::wstring& tag) {
    if (tag.empty()) return IsKnownNumber(number) ? number : 0;
    for (int candidate = 0; candidate <= 2; ++candidate) {
        if (tag == LanguageTag(candidate)) return candidate;
    }
    return number;
}

bool ParseLanguageFile(const std::string& json, int number, std::vector<std::pair<std::wstring, std::wstring>>* texts) {
    Json::CharReaderBuilder builder;
    const std::unique_ptr<Json::CharReader> reader(builder.newCharReader());
    Json::Value root;
    std::string errors;
    if (!reader->parse(json.data(), json.data() + json.size(), &root, &errors)) return false;
    if (!root.isObject() && !root.isArray()) return false;

    const char* tag = kTags[IsKnownNumber(number) ? number : 0];
    for (const Json::Value& entry : root) {
        if (!entry.isObject()) continue;
        const Json::Value& id = entry["id"];
        const long long number = id.isIntegral() ? id.asInt64() : 0;
        const Json::Value& text = entry[tag];
        // The file is UTF-8 throughout, English texts included.
        texts->emplace_back(std::to_wstring(number), text.isString() ? Utils::Utf8ToWide(text.asString()) : L"");
    }
    return true;
}
