#include "utils/network_check.h"

#include <windows.h>
#include <netlistmgr.h>
#include <objbase.h>

#include <atomic>

#include "utils/debug_trace.h"
#include "utils/win_handle.h"

namespace Utils {

namespace {

// {DCB00C01-570F-4A9B-8D69-199FDBA5723B} and {DCB00000-570F-4A9B-8D69-199FDBA5723B}
const CLSID kNetworkListManagerClass = {0xDCB00C01, 0x570F, 0x4A9B, {0x8D, 0x69, 0x19, 0x9F, 0xDB, 0xA5, 0x72, 0x3B}};
const IID kNetworkListManagerInterface = {0xDCB00000, 0x570F, 0x4A9B, {0x8D, 0x69, 0x19, 0x9F, 0xDB, 0xA5, 0x72, 0x3B}};

NetworkState ReadSystemNetworkState() {
    NetworkState state;
    UniqueComPtr<INetworkListManager> manager;
    if (FAILED(::CoCreateInstance(kNetworkListManagerClass, nullptr, CLSCTX_ALL, kNetworkListManagerInterface,
                                  reinterpret_cast<void**>(manager.out()))) ||
        !manager) {
        return state;
    }
    state.available = true;
    NLM_CONNECTIVITY connectivity = NLM_CONNECTIVITY_DISCONNECTED;
    if (SUCCEEDED(manager->GetConnectivity(&connectivity))) state.connectivity = static_cast<uint32_t>(connectivity);
    if (state.connectivity != 0) {
        VARIANT_BOOL connected = VARIANT_FALSE;
        if (SUCCEEDED(manager->IsConnectedToInternet(&connected))) state.connectedToInternet = connected != VARIANT_FALSE;
    }
    manager.reset();
    ::CoFreeUnusedLibraries();
    return state;
}

std::atomic<NetworkStateReader> g_NetworkReader{&ReadSystemNetworkState};

}  // namespace

NetworkStateReader SetNetworkStateReader(NetworkStateReader reader) {
    return g_NetworkReader.exchange(reader != nullptr ? reader : &ReadSystemNetworkState);
}

uint32_t PackNetworkState(const NetworkState& state) {
    if (!state.available) return 0;
    const uint32_t flags = state.connectivity & 0xFFFF;
    uint32_t verdict = kNetworkOnline;
    if (flags == 0) {
        TraceExactAt(L"Utils::CheckNetwork", 245, L"GetConnectivity %d", 0);
        verdict = kNetworkNone;
    } else if (!state.connectedToInternet) {
        TraceExactAt(L"Utils::CheckNetwork", 254, L"get_IsConnectedToInternet:%d", 0);
        verdict = kNetworkNoInternet;
    }
    return flags | (verdict << 16);
}

uint32_t CheckNetwork() { return PackNetworkState(g_NetworkReader.load()()); }

}  // namespace Utils
