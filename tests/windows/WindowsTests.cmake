# Programs that test the windows under Wine (scripts/wine-test.sh runs them). Each prints
# "N passed, N failed" and exits with 0 only when nothing failed. Included by
# cmake/QvWindows.cmake.
set(QV_WINTEST_DIR ${CMAKE_CURRENT_LIST_DIR})

add_library(qv_wintest INTERFACE)
target_include_directories(qv_wintest INTERFACE ${QV_WINTEST_DIR} ${CMAKE_SOURCE_DIR}/src)
target_link_libraries(qv_wintest INTERFACE user32 kernel32 gdi32)

function(qv_add_windows_test name)
  list(TRANSFORM ARGN PREPEND ${QV_WINTEST_DIR}/)
  add_executable(${name} ${ARGN})
  target_compile_options(${name} PRIVATE ${QV_WARNINGS})
  target_link_libraries(${name} PRIVATE qv_wintest)
  set_target_properties(${name} PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR})
endfunction()

qv_add_windows_test(controls_test ControlsTest.cpp)
target_link_libraries(controls_test PRIVATE qv_dialog_win32)

# Loads quelvaris32.dll from its own directory, like a host.
qv_add_windows_test(dialog_test DialogTest.cpp)
target_link_libraries(dialog_test PRIVATE qv_nhmgen)
add_dependencies(dialog_test quelvaris32)
