# A 64-bit Windows build of the same sources, for running the Windows tests on
# hosts whose kernel cannot execute 32-bit code (then 32-bit Wine cannot run).
# The shipped program is the 32-bit build (mingw-i686-posix.cmake).
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)
set(CMAKE_C_COMPILER x86_64-w64-mingw32-gcc-posix)
set(CMAKE_CXX_COMPILER x86_64-w64-mingw32-g++-posix)
set(CMAKE_RC_COMPILER x86_64-w64-mingw32-windres)
set(CMAKE_FIND_ROOT_PATH /usr/x86_64-w64-mingw32)
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
find_program(WINE64_PROGRAM wine64 PATHS /usr/lib/wine NO_DEFAULT_PATH)
if(NOT WINE64_PROGRAM)
  find_program(WINE64_PROGRAM wine64)
endif()
if(WINE64_PROGRAM)
  set(CMAKE_CROSSCOMPILING_EMULATOR ${WINE64_PROGRAM})
endif()
