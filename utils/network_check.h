// Whether the machine can reach the Internet, as the system's network list manager sees it,
// packed into one value: the connectivity flags in bits 0-15, the verdict in bits 16-31
// (0 online or unknown, 1 no connectivity, 2 connectivity without Internet). No traffic of
// its own; the caller has initialised COM on its thread. Blocks as long as the system takes.
#pragma once

#include <cstdint>

namespace Utils {

enum NetworkVerdict : uint32_t {
    kNetworkOnline = 0,
    kNetworkNone = 1,
    kNetworkNoInternet = 2,
};

// What the manager answered. `available` false when it could not be created.
struct NetworkState {
    bool available = false;
    uint32_t connectivity = 0;
    bool connectedToInternet = false;
};

using NetworkStateReader = NetworkState (*)();
// Installs a reader (nullptr restores the system's) and returns the previous one.
NetworkStateReader SetNetworkStateReader(NetworkStateReader reader);

// The packed value for a state; traces the two offline verdicts.
uint32_t PackNetworkState(const NetworkState& state);

uint32_t CheckNetwork();

}  // namespace Utils
