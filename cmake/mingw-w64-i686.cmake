# 32-bit Windows build. It compiles and links, but there is no 32-bit Wine here: never run its tests
# under wine64 (an i686 program there prints nothing and exits 0, which looks like a pass).
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86)

set(QVL_MINGW_PREFIX i686-w64-mingw32)
set(CMAKE_C_COMPILER ${QVL_MINGW_PREFIX}-gcc-posix)
set(CMAKE_CXX_COMPILER ${QVL_MINGW_PREFIX}-g++-posix)
set(CMAKE_RC_COMPILER ${QVL_MINGW_PREFIX}-windres)

set(CMAKE_FIND_ROOT_PATH /usr/${QVL_MINGW_PREFIX})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)
