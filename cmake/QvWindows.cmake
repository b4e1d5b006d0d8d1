# The Windows-only parts: the dialog's windows, the DLL and the host program, and the programs
# that test the windows under Wine. Included once, by the Windows builds only.
include_guard(GLOBAL)

# The windows of the dialog (the Win32 views of the dialog logic). Not part of qv_dialog: that
# library is the logic that every platform shares.
qv_add_library(qv_dialog_win32 src/dialog/win32 qv_dialog qv_platform)
target_link_libraries(qv_dialog_win32 PUBLIC comctl32 gdi32 user32)

include(${CMAKE_SOURCE_DIR}/src/quelvaris32/windows.cmake)
# The generator (for the demo and the dialog tests' projects) and the host programs.
add_subdirectory(${CMAKE_SOURCE_DIR}/tools ${CMAKE_BINARY_DIR}/tools)

option(QV_WINDOWS_TESTS "Build the programs that test the windows under Wine" ON)
if(QV_WINDOWS_TESTS)
  include(${CMAKE_SOURCE_DIR}/tests/windows/WindowsTests.cmake)
endif()
