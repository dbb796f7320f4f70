# The product's target: 32-bit x86 Windows.
set(CMAKE_SYSTEM_PROCESSOR i686)
set(VINDREL_MINGW_TRIPLE i686-w64-mingw32)
include(${CMAKE_CURRENT_LIST_DIR}/mingw-common.cmake)
