#!/usr/bin/env bash
# Builds both Windows targets from the same sources:
#   build/i686    the shipped 32-bit installer (bin/LumivoxSetup.exe)
#   build/x86_64  the same program and every test program, run under 64-bit Wine
# Installs what is missing first (tools/setup-deps.sh), so it works on a fresh machine.
set -euo pipefail
cd "$(dirname "$0")/.."
ROOT=$PWD

# Each checkout keeps its own record of where its dependencies are.
export LUMIVOX_DEPS_ENV=$ROOT/build/deps.env
bash tools/setup-deps.sh
# shellcheck disable=SC1091
source "$LUMIVOX_DEPS_ENV"

configure_and_build() { # target tests(ON|OFF)
  local target=$1 tests=$2
  local curl_var=LUMIVOX_CURL_$target jsoncpp_var=LUMIVOX_JSONCPP_$target
  local dir=$ROOT/build/$target
  # Configured every time: cheap, and picks up a dependency rebuilt under a new cache key.
  cmake -S "$ROOT" -B "$dir" -G Ninja \
      -DCMAKE_TOOLCHAIN_FILE="$ROOT/cmake/toolchain-$target.cmake" \
      -DCMAKE_BUILD_TYPE=Release \
      -DLUMIVOX_BUILD_TESTS="$tests" \
      -DLUMIVOX_CURL_DIR="${!curl_var}" \
      -DLUMIVOX_JSONCPP_DIR="${!jsoncpp_var}" \
      -DLUMIVOX_LZMA_SDK_DIR="$LUMIVOX_LZMA_SDK" >/dev/null
  cmake --build "$dir" -- -j"$(nproc)"
}

configure_and_build i686 OFF
configure_and_build x86_64 ON
echo "built: $ROOT/build/i686/bin/LumivoxSetup.exe (32-bit), $ROOT/build/x86_64/bin (64-bit and tests)"
