# 64-bit Windows: the same sources, so that the Windows tests run under 64-bit Wine on machines
# that cannot run 32-bit Linux programs. It is tested, not shipped.
set(VIGREL_MINGW_PROCESSOR x86_64)
include(${CMAKE_CURRENT_LIST_DIR}/mingw-w64.cmake)
