#include "utils/debug_trace.h"

#include <gtest/gtest.h>
#include <windows.h>

#include <regex>

#include "tests/support/trace_capture.h"

namespace {

using TestSupport::TraceCapture;

std::wstring FormatPrefix(int processId, int threadId, int line) {
    TraceCapture capture;
    Utils::DebugTrace((std::wstring(Utils::kTracePrefixFormat) + L"%s").c_str(), processId, threadId, 2024, 3, 5, 9,
                      7, 2, 45, L"CurlClient::Start", line, L"start download\r\n");
    const auto lines = capture.Lines();
    return lines.size() == 1 ? lines[0] : L"<" + std::to_wstring(lines.size()) + L" lines>";
}

TEST(DebugTrace, PrefixPadsFieldsAndKeepsLongIds) {
    struct Case {
        int processId, threadId, line;
        const wchar_t* expected;
    };
    const Case cases[] = {
        {4212, 7340, 60,
         L"<P04212><T07340><2024-03-05 09:07:02.045>(CurlClient::Start)<0060>: start download\r\n"},
        {123, 123456, 49,
         L"<P00123><T123456><2024-03-05 09:07:02.045>(CurlClient::Start)<0049>: start download\r\n"},
        {1234567, 5, 12345,
         L"<P1234567><T00005><2024-03-05 09:07:02.045>(CurlClient::Start)<12345>: start download\r\n"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(FormatPrefix(c.processId, c.threadId, c.line), c.expected) << c.processId;
    }
}

TEST(DebugTrace, TraceAtEmitsOneWholeLineWithTheCurrentIds) {
    TraceCapture capture;
    Utils::TraceAt(L"CurlClient::Start", 60, L"get %s size=%d", L"http://h/a%20b%s%d", 7);
    const auto lines = capture.Lines();
    ASSERT_EQ(lines.size(), 1u);
    const std::wregex shape(
        L"<P(\\d{5,})><T(\\d{5,})><\\d{4}-\\d{2}-\\d{2} \\d{2}:\\d{2}:\\d{2}\\.\\d{3}>\\(CurlClient::Start\\)<0060>: "
        L"get http://h/a%20b%s%d size=7\r\n");
    std::wsmatch match;
    ASSERT_TRUE(std::regex_match(lines[0], match, shape)) << lines[0];
    EXPECT_EQ(std::stoul(match[1].str()), ::GetCurrentProcessId());
    EXPECT_EQ(std::stoul(match[2].str()), ::GetCurrentThreadId());
}

TEST(DebugTrace, MessageWithoutLineEndStaysOneSeparateLine) {
    TraceCapture capture;
    Utils::TraceExactAt(L"CurlClient::ProgressCallback", 300, L"progress %d \n", 5);
    Utils::TraceExactAt(L"Utils::X", 1, L"no line end");
    const auto lines = capture.Lines();
    ASSERT_EQ(lines.size(), 2u);
    EXPECT_NE(lines[0].find(L"(CurlClient::ProgressCallback)<0300>: progress 5 \n"), std::wstring::npos);
    EXPECT_EQ(lines[0].substr(lines[0].size() - 2), L" \n");
    EXPECT_EQ(lines[1].substr(lines[1].size() - 13), L": no line end");
}

TEST(DebugTrace, LongArgumentsAreNotCut) {
    TraceCapture capture;
    const std::wstring longText(5000, L'x');
    Utils::TraceAt(L"F", 1, L"%s|", longText.c_str());
    const auto lines = capture.Lines();
    ASSERT_EQ(lines.size(), 1u);
    EXPECT_NE(lines[0].find(longText + L"|\r\n"), std::wstring::npos);
}

}  // namespace
