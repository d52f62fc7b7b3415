# What both mingw-w64 toolchain files share: where the target's headers and libraries
# live, and Wine to run test programs on the build machine. Expects ZELV_MINGW_TRIPLE.
set(CMAKE_FIND_ROOT_PATH /usr/${ZELV_MINGW_TRIPLE})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)

find_program(WINE_PROGRAM NAMES wine)
if(WINE_PROGRAM)
  set(CMAKE_CROSSCOMPILING_EMULATOR ${WINE_PROGRAM})
endif()
