# 32-bit Windows: the build that ships (Vigrel.tsp is a PE32 DLL).
set(VIGREL_MINGW_PROCESSOR i686)
include(${CMAKE_CURRENT_LIST_DIR}/mingw-w64.cmake)
