# What both mingw-w64 toolchain files share; they set CMAKE_SYSTEM_PROCESSOR and CORVEL_MINGW_PREFIX first.
# Debian's posix thread model: std::thread and std::mutex are there.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_C_COMPILER ${CORVEL_MINGW_PREFIX}-gcc-posix)
set(CMAKE_CXX_COMPILER ${CORVEL_MINGW_PREFIX}-g++-posix)
set(CMAKE_RC_COMPILER ${CORVEL_MINGW_PREFIX}-windres)

set(CMAKE_FIND_ROOT_PATH /usr/${CORVEL_MINGW_PREFIX})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE BOTH)

# Every Windows program here runs under Wine, through a wrapper that sets up its prefix (32-bit or 64-bit
# by the program).
set(CMAKE_CROSSCOMPILING_EMULATOR ${CMAKE_CURRENT_LIST_DIR}/../scripts/wine-run)
