// The JSON text of values, objects and property sets, byte for byte.
#include <gtest/gtest.h>

#include "analytics/sdk/properties_node.h"
#include "analytics/sdk/record_rules.h"
#include "analytics/sdk/value_node.h"
#include "tests/analytics/sdk/message_capture.h"

namespace {

using usage_analytics::PropertiesNode;
using usage_analytics::utils::ObjectNode;
using usage_analytics::utils::ValueNode;

std::string Json(const ValueNode& value) {
    std::string out;
    value.AppendJson(out);
    return out;
}

TEST(JsonText, NumbersAsADefaultStreamWritesThem) {
    const struct {
        double value;
        const char* text;
    } cases[] = {
        {12.5, "12.5"},     {1234567, "1.23457e+06"}, {1e-7, "1e-07"},     {0.0, "0"},
        {-3.25, "-3.25"},   {100000, "100000"},        {1000000, "1e+06"}, {0.1, "0.1"},
        {123456.7, "123457"}, {0.0001, "0.0001"},      {2.0 / 3.0, "0.666667"},
    };
    for (const auto& c : cases) EXPECT_EQ(Json(ValueNode::Number(c.value)), c.text) << c.value;
}

TEST(JsonText, EachValueType) {
    ObjectNode inner;
    inner.Set("b", ValueNode::Int(2));
    inner.Set("a", ValueNode::Bool(false));
    const struct {
        ValueNode value;
        const char* text;
    } cases[] = {
        {ValueNode::Int(-42), "-42"},
        {ValueNode::Int(9007199254740993LL), "9007199254740993"},
        {ValueNode::String("plain"), "\"plain\""},
        {ValueNode::List({"a", "b\"c"}), "[\"a\",\"b\\\"c\"]"},
        {ValueNode::List({}), "[]"},
        {ValueNode::Bool(true), "true"},
        {ValueNode::Bool(false), "false"},
        {ValueNode::Object(inner), "{\"a\":false,\"b\":2}"},
        {ValueNode::Object(ObjectNode()), "{}"},
    };
    for (const auto& c : cases) EXPECT_EQ(Json(c.value), c.text);
}

TEST(JsonText, StringsUseTheSevenShortEscapesAndNoCodePointEscapes) {
    EXPECT_EQ(Json(ValueNode::String("q\"b\\s\bf\fn\nr\rt\t")), "\"q\\\"b\\\\s\\bf\\fn\\nr\\rt\\t\"");
    // Slash, other control bytes and multi-byte UTF-8 are copied as they are.
    EXPECT_EQ(Json(ValueNode::String("a/b\x01\x1f\x7f")), std::string("\"a/b\x01\x1f\x7f\""));
    EXPECT_EQ(Json(ValueNode::String("\xE5\xAE\x89\xE8\xA3\x85\xE4\xB8\xAD")), "\"\xE5\xAE\x89\xE8\xA3\x85\xE4\xB8\xAD\"");
}

TEST(JsonText, DateTimeIsQuotedLocalTimeWithMilliseconds) {
    // 1700000000 is 22:13:20 UTC; every time zone keeps the seconds.
    const std::string text = Json(ValueNode::DateTime(1700000000, 7));
    ASSERT_EQ(text.size(), 25u) << text;
    EXPECT_EQ(text.substr(0, 4), "\"202");
    EXPECT_EQ(text[5], '-');
    EXPECT_EQ(text[8], '-');
    EXPECT_EQ(text[11], ' ');
    EXPECT_EQ(text.substr(text.size() - 8), ":20.007\"") << text;
}

TEST(JsonText, KeysInByteOrderWithoutBlanksAndReplacedInPlace) {
    ObjectNode object;
    for (const char* name : {"b", "_x", "A", "$a", "a1", "Z", "$Z"}) object.Set(name, ValueNode::Int(1));
    object.Set("b", ValueNode::String("again"));
    EXPECT_EQ(object.ToJson(), "{\"$Z\":1,\"$a\":1,\"A\":1,\"Z\":1,\"_x\":1,\"a1\":1,\"b\":\"again\"}");
    EXPECT_TRUE(object.Remove("A"));
    EXPECT_FALSE(object.Remove("A"));
    EXPECT_EQ(object.size(), 6u);
}

TEST(Utf8Rule, AcceptsWellFormedTextAndTheThreeWhiteSpaceControls) {
    const struct {
        std::string text;
        bool valid;
    } cases[] = {
        {"", true},
        {"tab\tlf\ncr\r", true},
        {" ~", true},
        {"\xE4\xB8\xAD\xE6\x96\x87", true},          // two CJK characters
        {"\xC2\x80\xDF\xBF", true},                  // two-byte range ends
        {"\xE0\xA0\x80\xED\x9F\xBF", true},          // E0 and ED with their narrow second bytes
        {"\xF0\x9F\x98\x80\xF4\x8F\xBF\xBF", true},  // four bytes, up to U+10FFFF
        {"form\ffeed", false},
        {std::string("n\0l", 3), false},
        {"\x7F", false},
        {"\x80", false},
        {"\xC0\x80", false},          // overlong
        {"\xC1\xBF", false},          // overlong
        {"\xE0\x80\x80", false},      // overlong three-byte
        {"\xED\xA0\x80", false},      // surrogate
        {"\xF0\x80\x80\x80", false},  // overlong four-byte
        {"\xF4\x90\x80\x80", false},  // beyond U+10FFFF
        {"\xF5\x80\x80\x80", false},
        {"\xE4\xB8", false},          // cut short
        {"\xE4\xB8" "a", false},
    };
    for (const auto& c : cases) EXPECT_EQ(usage_analytics::IsValidUtf8(c.text), c.valid) << c.text;
}

TEST(PropertiesNode, StringSetterRefusesOversizeAndNonUtf8TextWithItsMessage) {
    AnalyticsTest::MessageCapture messages;
    PropertiesNode properties;
    properties.SetString("ff", "a\fb");
    EXPECT_EQ(messages.Errors(), "String property 'ff' is not valid UTF-8 string, value: a\fb\n");
    messages.Clear();
    properties.SetString("long", std::string(8193, 'x'));
    EXPECT_EQ(messages.Errors(), "String property 'long' is too long, value: " + std::string(8193, 'x') + "\n");
    messages.Clear();
    properties.SetString("tab", "a\tb\nc");
    properties.SetString("max", std::string(8192, 'y'));
    EXPECT_EQ(messages.Errors(), "");

    EXPECT_EQ(properties.Find("ff"), nullptr);
    EXPECT_EQ(properties.Find("long"), nullptr);
    ASSERT_NE(properties.Find("max"), nullptr);
    properties.Remove("max");
    EXPECT_EQ(properties.ToJson(), "{\"tab\":\"a\\tb\\nc\"}");
}

TEST(PropertiesNode, EverySetterReplacesAndWritesItsType) {
    PropertiesNode properties;
    properties.SetString("v", "first");
    properties.SetNumber("v", 0.5);
    properties.SetInt("i", int64_t{1} << 40);
    properties.SetBool("b", true);
    properties.SetList("l", {"x"});
    ObjectNode nested;
    nested.Set("k", ValueNode::String("v"));
    properties.SetObject("o", nested);
    nested.Set("k", ValueNode::String("changed later"));
    EXPECT_EQ(properties.ToJson(), "{\"b\":true,\"i\":1099511627776,\"l\":[\"x\"],\"o\":{\"k\":\"v\"},\"v\":0.5}");
}

}  // namespace
