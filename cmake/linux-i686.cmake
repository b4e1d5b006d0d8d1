# 32-bit Linux (make i686): the host program from the sources of the 32-bit DLL, compiled with
# the same arithmetic flags, so that a run in 32 bits can be checked against the 64-bit build.
set(CMAKE_SYSTEM_NAME Linux)
set(CMAKE_SYSTEM_PROCESSOR i686)
set(CMAKE_C_COMPILER gcc)
set(CMAKE_CXX_COMPILER g++)
set(QV_I686_FLAGS "-m32 -msse2 -mfpmath=sse -mstackrealign")
set(CMAKE_C_FLAGS_INIT "${QV_I686_FLAGS}")
set(CMAKE_CXX_FLAGS_INIT "${QV_I686_FLAGS}")
set(CMAKE_EXE_LINKER_FLAGS_INIT "-m32")
set(CMAKE_SHARED_LINKER_FLAGS_INIT "-m32")
set(CMAKE_MODULE_LINKER_FLAGS_INIT "-m32")
set(CMAKE_LIBRARY_ARCHITECTURE i386-linux-gnu)
