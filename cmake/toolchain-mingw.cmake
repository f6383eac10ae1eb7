# Cross build for Windows with mingw-w64 (posix thread model, everything static); included
# by the per-target toolchain files after they set LUMIVOX_ARCH.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR ${LUMIVOX_ARCH})
set(LUMIVOX_TRIPLE ${LUMIVOX_ARCH}-w64-mingw32)
set(CMAKE_C_COMPILER ${LUMIVOX_TRIPLE}-gcc-posix)
set(CMAKE_CXX_COMPILER ${LUMIVOX_TRIPLE}-g++-posix)
set(CMAKE_RC_COMPILER ${LUMIVOX_TRIPLE}-windres)
set(CMAKE_FIND_ROOT_PATH /usr/${LUMIVOX_TRIPLE})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_EXE_LINKER_FLAGS_INIT "-static -static-libgcc -static-libstdc++")
