#include "install/status_stream.h"

#include <gtest/gtest.h>

#include <climits>

namespace {

using Lines = std::vector<std::string>;

TEST(StatusLineAssembler, JoinsLinesSplitAcrossReads) {
    StatusLineAssembler assembler;
    EXPECT_EQ(assembler.Append("Progress=0.", 11), Lines{});
    EXPECT_EQ(assembler.Append("5\nState=Su", 10), Lines{"Progress=0.5"});
    EXPECT_EQ(assembler.Append("ccess\r\n\nMessage=", 16), (Lines{"State=Success\r", ""}));
    std::string last;
    ASSERT_TRUE(assembler.TakeRemainder(last));
    EXPECT_EQ(last, "Message=") << "the end of the stream ends the last line";
    EXPECT_FALSE(assembler.TakeRemainder(last));
}

TEST(StatusLineAssembler, KeepsAMultiByteCharacterCutByAReadWhole) {
    StatusLineAssembler assembler;
    const std::string text = "Message=\xE4\xB8\xAD\n";  // U+4E2D in UTF-8
    EXPECT_EQ(assembler.Append(text.data(), 10), Lines{});
    EXPECT_EQ(assembler.Append(text.data() + 10, text.size() - 10), Lines{"Message=\xE4\xB8\xAD"});
}

TEST(StatusLineAssembler, AReadEndsAtItsFirstZeroByte) {
    StatusLineAssembler assembler;
    const char bytes[] = "a=1\nb=2\0c=3\n";
    EXPECT_EQ(assembler.Append(bytes, sizeof(bytes) - 1), Lines{"a=1"});
    std::string last;
    ASSERT_TRUE(assembler.TakeRemainder(last));
    EXPECT_EQ(last, "b=2");
}

TEST(StatusValues, KeyMatchingCarriageReturnAndLength) {
    std::wstring value;
    EXPECT_FALSE(MatchStatusKey(L"progress=0.5", L"Progress=", value)) << "keys are case-sensitive";
    EXPECT_FALSE(MatchStatusKey(L" Progress=0.5", L"Progress=", value)) << "keys begin the line";

    struct Case {
        std::wstring line;
        std::wstring value;
    } cases[] = {
        {L"InstPath=C:\\x\r", L"C:\\x"},      // one CR before the LF is not part of the value
        {L"InstPath=C:\\x\r\r", L"C:\\x\r"},  // only one
        {L"InstPath=", L""},
        {L"InstPath= a b ", L" a b "},        // untrimmed
        {L"InstPath=" + std::wstring(800, L'p'), std::wstring(771, L'p')},
    };
    for (const Case& c : cases) {
        ASSERT_TRUE(MatchStatusKey(c.line, L"InstPath=", value));
        EXPECT_EQ(value, c.value);
    }
    EXPECT_EQ(TrimStatusValue(L" \t Success \r"), L"Success");
}

TEST(StatusValues, NumbersReadAsFarAsTheyGo) {
    EXPECT_EQ(ReadStatusNumber(L"0.5"), 0.5);
    EXPECT_EQ(ReadStatusNumber(L" 1e-1x"), 0.1);
    EXPECT_EQ(ReadStatusNumber(L"half"), 0.0);
    EXPECT_EQ(ReadStatusInteger(L"-1"), -1);
    EXPECT_EQ(ReadStatusInteger(L"3000ms"), 3000);
    EXPECT_EQ(ReadStatusInteger(L"soon"), 0);
    EXPECT_EQ(ReadStatusInteger(L"99999999999"), INT32_MAX);
    EXPECT_EQ(ReadStatusInteger(L"-99999999999"), INT32_MIN);
}

}  // namespace
