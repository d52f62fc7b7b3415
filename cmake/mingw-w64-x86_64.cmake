# Cross-compiles for 64-bit Windows with the posix-thread mingw-w64 toolchain.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)

set(ZELV_MINGW_TRIPLE x86_64-w64-mingw32)
set(CMAKE_C_COMPILER ${ZELV_MINGW_TRIPLE}-gcc-posix)
set(CMAKE_CXX_COMPILER ${ZELV_MINGW_TRIPLE}-g++-posix)
set(CMAKE_RC_COMPILER ${ZELV_MINGW_TRIPLE}-windres)

include(${CMAKE_CURRENT_LIST_DIR}/mingw-w64-target.cmake)
