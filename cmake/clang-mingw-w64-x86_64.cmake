# Cross-compiles for 64-bit Windows with Debian's clang instead of GCC, against the same
# mingw-w64 headers and libraries (libstdc++ and winpthreads of the posix toolchain),
# linked by lld. scripts/build-clang uses it, so GCC-only code shows up as an error.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)

set(ZELV_MINGW_TRIPLE x86_64-w64-mingw32)
set(CMAKE_C_COMPILER clang)
set(CMAKE_CXX_COMPILER clang++)
set(CMAKE_C_COMPILER_TARGET ${ZELV_MINGW_TRIPLE})
set(CMAKE_CXX_COMPILER_TARGET ${ZELV_MINGW_TRIPLE})
find_program(CMAKE_RC_COMPILER NAMES llvm-windres llvm-windres-14 ${ZELV_MINGW_TRIPLE}-windres REQUIRED)

# clang does not find GCC's folder on its own: Debian names it "12-posix", not a bare version.
file(GLOB ZELV_MINGW_GCC_DIRS LIST_DIRECTORIES true /usr/lib/gcc/${ZELV_MINGW_TRIPLE}/*-posix)
list(SORT ZELV_MINGW_GCC_DIRS COMPARE NATURAL)
list(POP_BACK ZELV_MINGW_GCC_DIRS ZELV_MINGW_GCC_DIR)
if(NOT ZELV_MINGW_GCC_DIR OR NOT EXISTS ${ZELV_MINGW_GCC_DIR}/include/c++/thread)
  message(FATAL_ERROR "no libstdc++ of the posix mingw-w64 toolchain under /usr/lib/gcc/${ZELV_MINGW_TRIPLE}"
                      " (apt-get install g++-mingw-w64-x86-64-posix)")
endif()
set(ZELV_LIBSTDCXX ${ZELV_MINGW_GCC_DIR}/include/c++)
# As standard folders, not flags, so that a CMAKE_CXX_FLAGS given on the command line keeps them.
set(CMAKE_CXX_STANDARD_INCLUDE_DIRECTORIES
    ${ZELV_LIBSTDCXX} ${ZELV_LIBSTDCXX}/${ZELV_MINGW_TRIPLE} ${ZELV_LIBSTDCXX}/backward)
# -pthread links winpthreads, which the posix libstdc++ needs for std::thread.
set(CMAKE_EXE_LINKER_FLAGS_INIT "-fuse-ld=lld -pthread -L${ZELV_MINGW_GCC_DIR}")

include(${CMAKE_CURRENT_LIST_DIR}/mingw-w64-target.cmake)
