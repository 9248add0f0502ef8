# Cross compiling for Windows with mingw-w64, win32 threads flavour, for the processor that the
# including toolchain file names in VIGREL_MINGW_PROCESSOR. The posix flavour's runtime
# (winpthreads, linked in statically) takes a TLS index and a thread record on every load of a
# DLL and gives neither back at unload, so a host that reloads the plug-in runs out of TLS indexes
# after about a thousand loads. Nothing here uses C++ threads.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR ${VIGREL_MINGW_PROCESSOR})
set(triplet ${VIGREL_MINGW_PROCESSOR}-w64-mingw32)
set(CMAKE_C_COMPILER ${triplet}-gcc-win32)
set(CMAKE_CXX_COMPILER ${triplet}-g++-win32)
set(CMAKE_RC_COMPILER ${triplet}-windres)
set(CMAKE_FIND_ROOT_PATH /usr/${triplet})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
