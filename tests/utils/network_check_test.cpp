#include "utils/network_check.h"

#include <gtest/gtest.h>
#include <objbase.h>

#include "tests/support/trace_capture.h"

namespace {

using TestSupport::TraceCapture;

TEST(CheckNetwork, PacksFlagsAndVerdict) {
    struct Case {
        Utils::NetworkState state;
        uint32_t packed;
        const wchar_t* trace;  // nullptr: no trace
    };
    const Case cases[] = {
        {{false, 0, false}, 0, nullptr},                    // no manager: counts as online
        {{true, 0, false}, 0x10000, L"(Utils::CheckNetwork)<0245>: GetConnectivity 0"},
        {{true, 0x0020, false}, 0x20020, L"(Utils::CheckNetwork)<0254>: get_IsConnectedToInternet:0"},
        {{true, 0x0060, true}, 0x0060, nullptr},            // IPv4 Internet: the flags alone
        {{true, 0x0441, true}, 0x0441, nullptr},
    };
    for (const Case& c : cases) {
        TraceCapture capture;
        EXPECT_EQ(Utils::PackNetworkState(c.state), c.packed) << c.state.connectivity;
        const auto lines = capture.Lines();
        if (c.trace == nullptr) {
            EXPECT_TRUE(lines.empty());
        } else {
            ASSERT_EQ(lines.size(), 1u);
            // Both traces are emitted without a line end.
            EXPECT_EQ(lines[0].substr(lines[0].size() - wcslen(c.trace)), c.trace);
        }
    }
}

TEST(CheckNetwork, AsksTheSystemsNetworkListManager) {
    ASSERT_TRUE(SUCCEEDED(::CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED)));
    const uint32_t result = Utils::CheckNetwork();
    ::CoUninitialize();
    // Wine's manager answers with its own flags; whatever they are, the verdict must agree.
    const uint32_t flags = result & 0xFFFF;
    const uint32_t verdict = result >> 16;
    EXPECT_LE(verdict, 2u);
    EXPECT_EQ(flags == 0, verdict == 1) << std::hex << result;

    Utils::SetNetworkStateReader([] { return Utils::NetworkState{true, 0x0020, false}; });
    EXPECT_EQ(Utils::CheckNetwork(), 0x20020u);
    Utils::SetNetworkStateReader(nullptr);
}

}  // namespace
