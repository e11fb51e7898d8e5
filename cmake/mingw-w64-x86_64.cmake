# Cross-compiles for 64-bit Windows with Debian's MinGW-w64 compilers (g++-mingw-w64-x86-64).
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)

set(impmap_mingw_prefix x86_64-w64-mingw32)
# The "posix" thread model: GoogleTest needs std::mutex, which the "win32" model of GCC 12 lacks.
set(CMAKE_C_COMPILER ${impmap_mingw_prefix}-gcc-posix)
set(CMAKE_CXX_COMPILER ${impmap_mingw_prefix}-g++-posix)
set(CMAKE_RC_COMPILER ${impmap_mingw_prefix}-windres)

# Libraries and headers come from the MinGW sysroot, packages also from the prefixes given on the
# command line (CMAKE_PREFIX_PATH); programs from the build machine.
list(APPEND CMAKE_FIND_ROOT_PATH /usr/${impmap_mingw_prefix})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE BOTH)

# Link the C and C++ runtimes and winpthread into the executables, so that they run on a machine
# (or under Wine) without the MinGW DLLs next to them.
set(CMAKE_EXE_LINKER_FLAGS_INIT "-static")
