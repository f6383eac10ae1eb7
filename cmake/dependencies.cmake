# Imported targets for the dependencies: libcurl (Schannel, zlib), zlib, jsoncpp, the LZMA
# SDK's 7z reader (compiled here from its C sources), stb_image and GoogleTest.

add_library(dep_zlib INTERFACE)
target_link_libraries(dep_zlib INTERFACE /usr/${LUMIVOX_TRIPLE}/lib/libz.a)

add_library(dep_curl INTERFACE)
target_include_directories(dep_curl INTERFACE ${LUMIVOX_CURL_DIR}/include)
target_compile_definitions(dep_curl INTERFACE CURL_STATICLIB)
target_link_libraries(dep_curl INTERFACE ${LUMIVOX_CURL_DIR}/lib/libcurl.a dep_zlib
  ws2_32 crypt32 bcrypt secur32 advapi32 wldap32 normaliz iphlpapi)

add_library(dep_jsoncpp INTERFACE)
target_include_directories(dep_jsoncpp INTERFACE ${LUMIVOX_JSONCPP_DIR}/include)
target_link_libraries(dep_jsoncpp INTERFACE ${LUMIVOX_JSONCPP_DIR}/lib/libjsoncpp.a)

add_library(dep_stb INTERFACE)
target_include_directories(dep_stb SYSTEM INTERFACE /usr/include/stb)

set(LZMA_C ${LUMIVOX_LZMA_SDK_DIR}/C)
add_library(dep_lzma_sdk STATIC
  ${LZMA_C}/7zArcIn.c ${LZMA_C}/7zBuf.c ${LZMA_C}/7zCrc.c ${LZMA_C}/7zCrcOpt.c ${LZMA_C}/7zDec.c
  ${LZMA_C}/7zStream.c ${LZMA_C}/7zAlloc.c ${LZMA_C}/Bcj2.c ${LZMA_C}/Bra.c ${LZMA_C}/Bra86.c
  ${LZMA_C}/BraIA64.c ${LZMA_C}/CpuArch.c ${LZMA_C}/Delta.c ${LZMA_C}/Lzma2Dec.c ${LZMA_C}/LzmaDec.c)
target_include_directories(dep_lzma_sdk SYSTEM PUBLIC ${LZMA_C})
target_compile_options(dep_lzma_sdk PRIVATE -w)

if(LUMIVOX_BUILD_TESTS)
  set(gtest_disable_pthreads ON CACHE BOOL "" FORCE)
  set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
  set(BUILD_GMOCK OFF CACHE BOOL "" FORCE)
  add_subdirectory(/usr/src/googletest ${CMAKE_BINARY_DIR}/googletest EXCLUDE_FROM_ALL)
endif()
