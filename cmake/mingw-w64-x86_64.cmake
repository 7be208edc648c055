# Cross-compiles for 64-bit Windows with Debian's mingw-w64 toolchain (the POSIX-threads
# variant, which has std::thread). Programs link the compiler's runtime statically, so the
# .exe files run without mingw's DLLs beside them; tests run under wine when it is there.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)

set(NETVORA_MINGW_PREFIX x86_64-w64-mingw32)
set(CMAKE_C_COMPILER ${NETVORA_MINGW_PREFIX}-gcc-posix)
set(CMAKE_CXX_COMPILER ${NETVORA_MINGW_PREFIX}-g++-posix)
set(CMAKE_RC_COMPILER ${NETVORA_MINGW_PREFIX}-windres)

# Headers and libraries come from the target's tree (and from prefixes that the caller
# adds to CMAKE_FIND_ROOT_PATH); programs that run during the build come from the host.
list(APPEND CMAKE_FIND_ROOT_PATH /usr/${NETVORA_MINGW_PREFIX})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

set(CMAKE_EXE_LINKER_FLAGS_INIT "-static")

find_program(NETVORA_WINE wine)
if(NETVORA_WINE)
  set(CMAKE_CROSSCOMPILING_EMULATOR ${NETVORA_WINE})
endif()
