# The same sources for 64-bit, with the test programs, which run under 64-bit Wine.
set(LUMIVOX_ARCH x86_64)
include(${CMAKE_CURRENT_LIST_DIR}/toolchain-mingw.cmake)
find_program(LUMIVOX_WINE64 NAMES wine64 PATHS /usr/lib/wine /usr/lib64/wine NO_DEFAULT_PATH)
if(NOT LUMIVOX_WINE64)
  find_program(LUMIVOX_WINE64 NAMES wine64)
endif()
set(CMAKE_CROSSCOMPILING_EMULATOR ${LUMIVOX_WINE64})
