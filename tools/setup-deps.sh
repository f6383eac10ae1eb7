#!/usr/bin/env bash
# Installs everything the build and the tests need on a fresh Debian 12 machine:
# the Debian packages (cross compilers, Wine, Xvfb, nginx, ...) and the Windows builds
# of libcurl, jsoncpp and the LZMA SDK for both targets. The Windows builds go into a
# cache outside the repo keyed by package version and target, so a second run is quick.
set -euo pipefail

CACHE_ROOT=${LUMIVOX_CACHE:-$HOME/.cache/lumivox}
DEPS_ROOT=$CACHE_ROOT/deps
SRC_ROOT=$CACHE_ROOT/src
mkdir -p "$DEPS_ROOT" "$SRC_ROOT"

PACKAGES=(
  g++-mingw-w64-i686-posix g++-mingw-w64-x86-64-posix mingw-w64-tools
  libz-mingw-w64-dev libstb-dev googletest
  wine wine64 xvfb x11-apps xdotool imagemagick fonts-wqy-microhei
  nginx-light openssl python3 p7zip-full python3-pil
  cmake ninja-build make pkg-config dpkg-dev file binutils-mingw-w64-i686
)

log() { printf '[setup-deps] %s\n' "$*" >&2; }

have_all_packages() {
  local p
  for p in "${PACKAGES[@]}"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || return 1
  done
}

enable_source_entries() {
  # Only binary entries are configured; a copy of the existing entry with deb-src gives
  # access to the source packages without naming any host here.
  local src=/etc/apt/sources.list.d/debian.sources
  local dst=/etc/apt/sources.list.d/lumivox-src.sources
  [ -f "$dst" ] && return 0
  if [ -f "$src" ]; then
    sed 's/^Types: deb$/Types: deb-src/' "$src" >"$dst"
  elif [ -f /etc/apt/sources.list ]; then
    grep -E '^deb ' /etc/apt/sources.list | sed 's/^deb /deb-src /' >/etc/apt/sources.list.d/lumivox-src.list
  fi
  APT_UPDATED=0
}

APT_UPDATED=0
apt_update_once() {
  [ "$APT_UPDATED" = 1 ] && return 0
  apt-get update -qq
  APT_UPDATED=1
}

install_packages() {
  if have_all_packages; then return 0; fi
  log "installing Debian packages"
  apt_update_once
  DEBIAN_FRONTEND=noninteractive apt-get install -y -qq --no-install-recommends "${PACKAGES[@]}" >/dev/null
}

# The version of a source package, as apt would fetch it.
source_version() {
  apt-cache showsrc "$1" 2>/dev/null | awk '/^Version:/{print $2}' | sort -V | tail -n 1
}

fetch_source() { # name -> prints the unpacked folder
  local name=$1 version=$2
  local dir=$SRC_ROOT/$name-$version
  if [ ! -f "$dir/.unpacked" ]; then
    rm -rf "$dir"; mkdir -p "$dir"
    (cd "$dir" && apt-get source -qq "$name" >/dev/null 2>&1)
    touch "$dir/.unpacked"
  fi
  find "$dir" -mindepth 1 -maxdepth 1 -type d | head -n 1
}

triple_of() { case $1 in i686) echo i686-w64-mingw32;; x86_64) echo x86_64-w64-mingw32;; esac; }

build_curl() { # target
  local target=$1 triple; triple=$(triple_of "$target")
  local version; version=$(source_version curl)
  # The shipped 32-bit program runs on Windows XP: its libcurl must not import Vista-only
  # functions (BCryptGenRandom, GetTickCount64, SRW locks).
  local winnt=""; [ "$target" = i686 ] && winnt="-D_WIN32_WINNT=0x0501"
  local prefix=$DEPS_ROOT/curl-$version-$target${winnt:+-winxp}
  [ -f "$prefix/.done" ] && { echo "$prefix"; return; }
  local src; src=$(fetch_source curl "$version")
  local build=$SRC_ROOT/build-curl-$version-$target
  rm -rf "$build"; mkdir -p "$build"
  log "building libcurl $version for $target"
  (cd "$build" && "$src/configure" --host="$triple" --prefix="$prefix" \
      CC="$triple-gcc-posix" LDFLAGS="-static" CPPFLAGS="$winnt" \
      --with-schannel --with-zlib=/usr/$triple --disable-shared --enable-static \
      --without-libpsl --without-brotli --without-zstd --without-libidn2 --without-nghttp2 \
      --disable-ldap --disable-ldaps --disable-manual --disable-rtsp --disable-dict \
      --disable-telnet --disable-tftp --disable-pop3 --disable-imap --disable-smtp \
      --disable-gopher --disable-mqtt --disable-smb --disable-docs >"$build/configure.log" 2>&1 \
    && make -j"$(nproc)" >"$build/make.log" 2>&1 \
    && make install >"$build/install.log" 2>&1) || { log "libcurl build failed, see $build"; exit 1; }
  # curl.exe is the baseline of the download benchmark.
  cp "$build/src/curl.exe" "$prefix/bin/curl.exe" 2>/dev/null || true
  touch "$prefix/.done"
  echo "$prefix"
}

build_jsoncpp() {
  local target=$1 triple; triple=$(triple_of "$target")
  local version; version=$(source_version libjsoncpp)
  local prefix=$DEPS_ROOT/jsoncpp-$version-$target
  [ -f "$prefix/.done" ] && { echo "$prefix"; return; }
  local src; src=$(fetch_source libjsoncpp "$version")
  local build=$SRC_ROOT/build-jsoncpp-$version-$target
  rm -rf "$build"; mkdir -p "$build"
  log "building jsoncpp $version for $target"
  cmake -S "$src" -B "$build" -G Ninja -DCMAKE_SYSTEM_NAME=Windows \
      -DCMAKE_C_COMPILER="$triple-gcc-posix" -DCMAKE_CXX_COMPILER="$triple-g++-posix" \
      -DCMAKE_RC_COMPILER="$triple-windres" \
      -DCMAKE_BUILD_TYPE=Release -DCMAKE_INSTALL_PREFIX="$prefix" \
      -DBUILD_SHARED_LIBS=OFF -DBUILD_STATIC_LIBS=ON -DBUILD_OBJECT_LIBS=OFF \
      -DJSONCPP_WITH_TESTS=OFF -DJSONCPP_WITH_POST_BUILD_UNITTEST=OFF \
      -DJSONCPP_WITH_PKGCONFIG_SUPPORT=OFF -DJSONCPP_WITH_CMAKE_PACKAGE=OFF \
      >"$build.log" 2>&1 \
    && cmake --build "$build" >>"$build.log" 2>&1 \
    && cmake --install "$build" >>"$build.log" 2>&1 || { log "jsoncpp build failed, see $build.log"; exit 1; }
  touch "$prefix/.done"
  echo "$prefix"
}

# The LZMA SDK's C sources come from the 7zip source package; the project compiles the
# files it needs itself, so only the sources are kept (same for both targets).
fetch_lzma_sdk() {
  local version; version=$(source_version 7zip)
  if [ -z "$version" ]; then version=$(source_version p7zip); fi
  local dst=$DEPS_ROOT/lzma-sdk-$version
  [ -f "$dst/.done" ] && { echo "$dst"; return; }
  local name=7zip; [ -n "$(source_version 7zip)" ] || name=p7zip
  local src; src=$(fetch_source "$name" "$version")
  rm -rf "$dst"; mkdir -p "$dst"
  if [ -d "$src/C" ]; then cp -r "$src/C" "$dst/C"; else cp -r "$src/C" "$dst/C"; fi
  touch "$dst/.done"
  echo "$dst"
}

main() {
  # Two checkouts may set up at once; they share the cache.
  exec 9>"$CACHE_ROOT/setup.lock"
  flock 9
  install_packages
  if ! [ -n "$(source_version curl)" ]; then enable_source_entries; apt_update_once; fi
  if ! [ -n "$(source_version curl)" ]; then apt-get update -qq; fi
  local env_file=${LUMIVOX_DEPS_ENV:-$CACHE_ROOT/deps.env}
  mkdir -p "$(dirname "$env_file")"
  {
    echo "LUMIVOX_CURL_i686=$(build_curl i686)"
    echo "LUMIVOX_CURL_x86_64=$(build_curl x86_64)"
    echo "LUMIVOX_JSONCPP_i686=$(build_jsoncpp i686)"
    echo "LUMIVOX_JSONCPP_x86_64=$(build_jsoncpp x86_64)"
    echo "LUMIVOX_LZMA_SDK=$(fetch_lzma_sdk)"
  } >"$env_file.$$"
  mv "$env_file.$$" "$env_file"
  log "dependencies ready: $env_file"
  cat "$env_file" >&2
}

main "$@"
