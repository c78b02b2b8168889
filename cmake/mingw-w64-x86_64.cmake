# Cross-builds the Windows target with Debian's mingw-w64 (posix thread model).
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)

set(TARNWELL_MINGW_PREFIX x86_64-w64-mingw32)
set(CMAKE_C_COMPILER ${TARNWELL_MINGW_PREFIX}-gcc-posix)
set(CMAKE_CXX_COMPILER ${TARNWELL_MINGW_PREFIX}-g++-posix)
set(CMAKE_RC_COMPILER ${TARNWELL_MINGW_PREFIX}-windres)
# The message compiler for the Event Log texts (binutils, beside windres).
set(TARNWELL_WINDMC ${TARNWELL_MINGW_PREFIX}-windmc)

set(CMAKE_FIND_ROOT_PATH /usr/${TARNWELL_MINGW_PREFIX})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

# A bare Windows has no libstdc++, libgcc or winpthread DLLs: link them all in.
set(CMAKE_EXE_LINKER_FLAGS_INIT "-static -static-libgcc -static-libstdc++")

# ctest runs the Windows binaries under Wine. Only running them needs it: building does not.
find_program(TARNWELL_WINE NAMES wine wine64)
if(TARNWELL_WINE)
  set(CMAKE_CROSSCOMPILING_EMULATOR ${TARNWELL_WINE})
endif()
