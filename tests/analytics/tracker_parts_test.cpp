// The tracker's parts that need no collector: enumeration texts, the context and its
// experiment-value rule, text normalisation and the preset properties.
#include <gtest/gtest.h>

#include <functional>
#include <set>

#include "analytics/context_properties.h"
#include "analytics/preset_properties.h"
#include "analytics/ql_exception.h"
#include "analytics/sdk/record_rules.h"
#include "analytics/text_normalise.h"
#include "analytics/tracker_types.h"
#include "utils/system_version.h"
#include "utils/text_convert.h"

namespace {

using namespace quillon::tracking;

std::string Thrown(const std::function<void()>& operation) {
    try {
        operation();
    } catch (const QlException& error) {
        return error.what();
    }
    return "<nothing thrown>";
}

template <typename Enum>
Enum Raw(int value) {
    return static_cast<Enum>(value);
}

TEST(TrackerTypes, WireTextsAndMessagesForValuesOutOfRange) {
    EXPECT_EQ(EventTypeText(QlEventType::PaLaunchPal), "PaLaunchPal");
    EXPECT_EQ(EventTypeText(QlEventType::AppOpenNotification), "AppOpenNotification");
    EXPECT_EQ(ResultText(QlResult::Cancelled), "Cancelled");
    EXPECT_EQ(ClickTypeText(ClickType::Tutorial), "Tutorial");
    EXPECT_EQ(UpdateOpText(QlUpdateOp::UpgrateStart), "UpgrateStart");
    EXPECT_EQ(UpdateResultText(QlUpdateResult::Updateable), "Updateable");
    EXPECT_EQ(IapTypeText(QlIapType::NonRenewable), "NonRenewable");
    EXPECT_EQ(CurrencyText(QlCurrency::GBP), "GBP");
    EXPECT_EQ(PaidPlatformText(QlPaidPlatform::ChinaUnionPay), "ChinaUnionPay");
    EXPECT_EQ(UserTypeText(QlUserType::QuillonUserId), "quillonuserid");
    EXPECT_EQ(IoTypeText(QlIoType::Input), "Input");
    EXPECT_EQ(EditionText(QlEdition::Overseas), "overseas");

    const struct {
        std::function<void()> operation;
        const char* message;
    } cases[] = {
        {[] { EventTypeText(Raw<QlEventType>(15)); }, "Unknown Event [15]!"},
        {[] { ResultText(Raw<QlResult>(-1)); }, "Unknown task result [-1]!"},
        {[] { ClickTypeText(Raw<ClickType>(5)); }, "Unknown ClickType [5]!"},
        {[] { UpdateOpText(Raw<QlUpdateOp>(5)); }, "Unknown QlUpdateOp [5]!"},
        {[] { UpdateResultText(Raw<QlUpdateResult>(6)); }, "Unknown QlUpdateResult [6]!"},
        {[] { IapTypeText(Raw<QlIapType>(4)); }, "Unknown qlIapType [4]!"},
        {[] { CurrencyText(Raw<QlCurrency>(11)); }, "Unknown currency [11]!"},
        {[] { PaidPlatformText(Raw<QlPaidPlatform>(10)); }, "Unknown paid platform [10]!"},
        {[] { UserTypeText(Raw<QlUserType>(12)); }, "Unknown user type [12]!"},
        {[] { IoTypeText(Raw<QlIoType>(2)); }, "the io type is invalid"},
        {[] { EditionText(Raw<QlEdition>(2)); }, "Unknown edition [2]!"},
    };
    for (const auto& c : cases) EXPECT_EQ(Thrown(c.operation), c.message);
}

TEST(QlException, CarriesWhereItWasRaisedAndMinusOneCodes) {
    try {
        QL_THROW("boom");
    } catch (const QlException& error) {
        EXPECT_STREQ(error.what(), "boom");
        EXPECT_EQ(error.code(), -1);
        EXPECT_EQ(error.subCode(), -1);
        EXPECT_GT(error.line(), 0);
        EXPECT_NE(error.file().find("tracker_parts_test"), std::string::npos);
        EXPECT_EQ(error.function(), "TestBody");
    }
}

TEST(ContextProperties, ExperimentValueIsListedForTheGivenTypesOnly) {
    QlContextProperties context;
    context.setProperty({QlEventType::Click, QlEventType::View}, "IN");
    usage_analytics::PropertiesNode click, task;
    EXPECT_TRUE(context.applyTo(QlEventType::Click, click));
    EXPECT_FALSE(context.applyTo(QlEventType::Task, task));
    EXPECT_EQ(click.ToJson(), "{\"qlc_ab\":\"IN\"}");
    EXPECT_EQ(task.ToJson(), "{}");
    ASSERT_EQ(context.getEventProperties(QlEventType::View).size(), 1u);
    EXPECT_EQ(context.getEventProperties(QlEventType::View)[0].name, "qlc_ab");

    EXPECT_EQ(Thrown([&] { context.setProperty({QlEventType::Task}, "B"); }), "Property[qlc_ab] already exist!");
    EXPECT_TRUE(context.getEventProperties(QlEventType::Task).empty());
    EXPECT_EQ(Thrown([&] { context.getEventProperties(Raw<QlEventType>(16)); }), "QlEvent[16] overflow!");

    QlContextProperties partial;
    EXPECT_EQ(Thrown([&] { partial.setProperty({QlEventType::Click, Raw<QlEventType>(15), QlEventType::View}, "A1"); }),
              "QlEvent[15] overflow!");
    EXPECT_EQ(partial.getEventProperties(QlEventType::Click).size(), 1u) << "types before the bad one keep theirs";
    EXPECT_TRUE(partial.getEventProperties(QlEventType::View).empty());
}

TEST(ContextProperties, ExperimentValueRule) {
    const struct {
        const char* value;
        bool valid;
        const char* message;  // empty: no error
    } cases[] = {
        {"IN", true, ""},
        {"A", true, ""},
        {"Z9Z", true, ""},
        {"B07", true, ""},
        {"", false, ""},
        {"ABCD", false, "value's length is great than 3."},
        {"in", false, "First char is not in A to Z"},
        {"1A", false, "First char is not in A to Z"},
        {"Ab", false, "second char is not in A to Z and 0 to 9"},
        {"A-", false, "second char is not in A to Z and 0 to 9"},
        {"A1b", false, "third char is not in A to Z and 0 to 9"},
    };
    for (const auto& c : cases) {
        bool valid = false;
        const std::string message = Thrown([&] { valid = QlContextProperties::isValidABValue(c.value); });
        EXPECT_EQ(message, *c.message != '\0' ? c.message : "<nothing thrown>") << c.value;
        EXPECT_EQ(valid, c.valid) << c.value;
    }
}

TEST(TextNormalise, Utf8StaysAndAnsiTextIsConverted) {
    EXPECT_EQ(NormaliseText(""), "");
    EXPECT_EQ(NormaliseText("plain\ttext"), "plain\ttext");
    EXPECT_EQ(NormaliseText("\xE5\xAE\x89\xE8\xA3\x85"), "\xE5\xAE\x89\xE8\xA3\x85");
    const std::string ansi = "caf\xE9";  // not UTF-8; a letter in the usual ANSI code pages
    const std::string converted = NormaliseText(ansi);
    EXPECT_NE(converted, ansi);
    EXPECT_TRUE(usage_analytics::IsValidUtf8(converted));
    EXPECT_EQ(Utils::WideToMultiByte(Utils::Utf8ToWide(converted), 0), ansi);
}

TEST(PresetProperties, OsVersionTextByNumbersAndBitness) {
    const struct {
        uint32_t major, minor, build;
        bool serverR2, is64;
        const char* text;
    } cases[] = {
        {4, 0, 1381, false, false, "XP-"},       {0, 0, 0, false, true, "XP-"},
        {5, 0, 2195, false, false, "2K"},        {5, 1, 2600, false, false, "XP"},
        {5, 2, 3790, false, true, "XP64"},       {5, 2, 3790, true, false, "Server 2003 R2"},
        {5, 2, 3790, false, false, "Server 2003"}, {5, 3, 0, false, false, "XP+"},
        {6, 0, 6002, false, true, "Vista64"},    {6, 0, 6002, false, false, "Vista"},
        {6, 1, 7601, false, true, "7"},          {6, 1, 7601, false, false, "7-32"},
        {6, 2, 9200, false, true, "8"},          {6, 2, 9200, false, false, "8-32"},
        {6, 3, 9600, false, false, "8.1"},       {6, 4, 9841, false, true, "8.1+"},
        {10, 0, 19045, false, true, "10"},       {10, 0, 21999, false, false, "10"},
        {10, 0, 22000, false, true, "11"},       {10, 0, 22631, false, false, "11"},
        {10, 1, 0, false, true, "11+"},          {11, 0, 22631, false, true, "11.0.22631"},
        {7, 2, 5, false, true, "7.2.5"},
    };
    for (const auto& c : cases) {
        Utils::VersionNumbers numbers;
        numbers.major = c.major;
        numbers.minor = c.minor;
        numbers.build = c.build;
        numbers.serverR2 = c.serverR2;
        EXPECT_EQ(OsVersionText(numbers, c.is64), c.text) << c.major << "." << c.minor << "." << c.build;
    }
}

// Presents a chosen Windows version and bitness through the system-version seams.
class VersionScope {
public:
    VersionScope(uint32_t major, uint32_t minor, uint32_t build, bool is64) {
        s_Numbers = {major, minor, build, false};
        s_Is64 = is64;
        m_Reader = Utils::SetVersionNumbersReader([](Utils::VersionNumbers* n) {
            *n = s_Numbers;
            return s_Numbers.major != 0;
        });
        m_Wow64 = Utils::SetWow64Reader([] { return s_Is64; });
    }
    ~VersionScope() {
        Utils::SetVersionNumbersReader(m_Reader);
        Utils::SetWow64Reader(m_Wow64);
    }

private:
    static Utils::VersionNumbers s_Numbers;
    static bool s_Is64;
    Utils::VersionNumbersReader m_Reader;
    Utils::Wow64Reader m_Wow64;
};
Utils::VersionNumbers VersionScope::s_Numbers;
bool VersionScope::s_Is64 = false;

TEST(PresetProperties, RunningSystemThroughTheVersionSeam) {
    const struct {
        uint32_t major, minor, build;
        bool is64;
        const char* version;
        const char* userAgent;
    } cases[] = {
        {6, 1, 7601, false, "7-32", "Mozilla/5.0(Windows 7-32; Win32;)"},
        {6, 1, 7601, true, "7", "Mozilla/5.0(Windows 7; Win64;)"},
        {10, 0, 19045, true, "10", "Mozilla/5.0(Windows 10; Win64;)"},
        {10, 0, 22631, true, "11", "Mozilla/5.0(Windows 11; Win64;)"},
        {0, 0, 0, false, "XP-", "Mozilla/5.0(Windows XP-; Win32;)"},  // numbers unreadable
    };
    for (const auto& c : cases) {
        VersionScope scope(c.major, c.minor, c.build, c.is64);
        EXPECT_EQ(CurrentOsVersionText(), c.version);
        EXPECT_EQ(UserAgentText(), c.userAgent);
        EXPECT_EQ(BuildPresetProperties({"a", "1", "s", "china", "", "", ""}).Find("$os_version")->text(), c.version);
    }
}

TEST(PresetProperties, LocaleFromOverrideOrSystem) {
    const LocaleTriple system = ComputeLocale("");
    const LocaleTriple english = ComputeLocale("english");
    EXPECT_EQ(english.locale, system.locale);
    EXPECT_EQ(english.language, system.language);
    EXPECT_EQ(english.country, system.country);
    EXPECT_EQ(system.locale, system.language + "_" + system.country);
    EXPECT_FALSE(system.language.empty());

    const LocaleTriple us = ComputeLocale("en_US");
    EXPECT_EQ(us.locale, "en_US");
    EXPECT_EQ(us.language, "en");
    EXPECT_EQ(us.country, "US");
    const LocaleTriple taiwan = ComputeLocale("zh_Hant_TW");
    EXPECT_EQ(taiwan.language, "zh");
    EXPECT_EQ(taiwan.country, "Hant_TW");
}

TEST(PresetProperties, EveryRecordCarriesTheApplicationSystemScreenAndLocale) {
    VersionScope scope(6, 1, 7601, true);
    const auto with = BuildPresetProperties({"app.downloader", "1.7.9", "Setup.exe", "china", "app", "2.0", "u-1"});
    std::set<std::string> names;
    for (const auto& entry : with.entries()) names.insert(entry.first);
    const std::set<std::string> expected = {
        "$app_id", "$app_version", "$os", "$os_version", "$screen_height", "$screen_width", "ql_app_id",
        "ql_app_platform", "ql_app_store", "ql_dlapp_id", "ql_dlapp_version", "ql_edition", "ql_l10n_country",
        "ql_l10n_language", "ql_l10n_locale", "ql_sdk", "ql_sdk_version", "ql_track_type", "ql_user_id"};
    EXPECT_EQ(names, expected);
    EXPECT_EQ(with.Find("ql_app_id")->text(), "app.downloader");
    EXPECT_EQ(with.Find("$app_id")->text(), "app.downloader");
    EXPECT_EQ(with.Find("ql_app_store")->text(), "Setup.exe");
    EXPECT_EQ(with.Find("ql_sdk_version")->text(), "3.3.8");
    EXPECT_EQ(with.Find("ql_sdk")->text(), "WindowsCPP");
    EXPECT_EQ(with.Find("ql_track_type")->text(), "Client");
    EXPECT_EQ(with.Find("$os_version")->text(), "7");
    EXPECT_EQ(with.Find("$screen_width")->type(), usage_analytics::utils::ValueNode::INT);
    EXPECT_GT(with.Find("$screen_width")->integer(), 0);

    const auto without = BuildPresetProperties({"a", "1", "s", "overseas", "", "", ""});
    EXPECT_EQ(without.Find("ql_dlapp_id"), nullptr);
    EXPECT_EQ(without.Find("ql_dlapp_version"), nullptr);
    EXPECT_EQ(without.Find("ql_user_id"), nullptr);
    EXPECT_EQ(without.Find("ql_edition")->text(), "overseas");
}

}  // namespace
