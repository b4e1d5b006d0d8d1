set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR i686)
set(CMAKE_C_COMPILER i686-w64-mingw32-gcc)
set(CMAKE_CXX_COMPILER i686-w64-mingw32-g++)
set(CMAKE_RC_COMPILER i686-w64-mingw32-windres)
set(CMAKE_FIND_ROOT_PATH /usr/i686-w64-mingw32)
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
# SSE2 arithmetic instead of the x87 unit's extended precision, so that the 32-bit DLL computes
# every double exactly as the 64-bit one does (with x87 some crown points differed in the last
# bit between the two). A host may call in with the stack aligned to 4 bytes only, so functions
# that keep SSE values on the stack realign it themselves.
set(QV_I686_FLAGS "-msse2 -mfpmath=sse -mstackrealign")
set(CMAKE_C_FLAGS_INIT "${QV_I686_FLAGS}")
set(CMAKE_CXX_FLAGS_INIT "${QV_I686_FLAGS}")
