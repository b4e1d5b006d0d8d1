# The Windows-only parts: the dialog's windows, the DLL and the host program, and the programs
# that test the windows under Wine. Included once, by the Windows builds only.
include_guard(GLOBAL)

# The windows of the dialog (the Win32 views of the dialog logic). Not part of qv_dialog: that
# library is the logic that every platform shares.
qv_add_library(qv_dialog_win32 src/dialog/win32 qv_dialog qv_platform)
target_link_libraries(qv_dialog_win32 PUBLIC comctl32 gdi32 user32)

# The synthetic height model, for the host's demo and the projects of the dialog tests.
file(GLOB qv_nhmgen_sources CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/tools/nhmgen/*.cpp)
list(FILTER qv_nhmgen_sources EXCLUDE REGEX "/main\\.cpp$")
add_library(qv_nhmgen_windows STATIC ${qv_nhmgen_sources})
target_compile_options(qv_nhmgen_windows PRIVATE ${QV_WARNINGS})
target_include_directories(qv_nhmgen_windows PUBLIC ${CMAKE_SOURCE_DIR}/tools)

include(${CMAKE_SOURCE_DIR}/src/quelvaris32/windows.cmake)

option(QV_WINDOWS_TESTS "Build the programs that test the windows under Wine" ON)
if(QV_WINDOWS_TESTS)
  include(${CMAKE_SOURCE_DIR}/tests/windows/WindowsTests.cmake)
endif()
