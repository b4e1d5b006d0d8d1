# quelvaris32.dll: the two exports over the static core libraries and the dialog's windows.
# Included by cmake/QvWindows.cmake in the Windows builds.
set(QV_DLL_DIR ${CMAKE_CURRENT_LIST_DIR})

add_library(quelvaris32 SHARED ${QV_DLL_DIR}/exports_win32.cpp ${QV_DLL_DIR}/quelvaris32.def)
target_compile_options(quelvaris32 PRIVATE ${QV_WARNINGS})
target_link_libraries(quelvaris32 PRIVATE qv_dialog_win32 quelvaris_core)
# No "lib" prefix, and nothing else exported than the .def file names. On 32 bits the linker
# would otherwise export the stdcall decorations (quelvaris@20).
set_target_properties(quelvaris32 PROPERTIES PREFIX "" OUTPUT_NAME quelvaris32
                      RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR})
target_link_options(quelvaris32 PRIVATE "LINKER:--kill-at" "LINKER:--no-undefined")
if(CMAKE_SIZEOF_VOID_P EQUAL 4)
  # The plain .def names stand for the stdcall symbols (quelvaris for _quelvaris@20).
  target_link_options(quelvaris32 PRIVATE "LINKER:--enable-stdcall-fixup")
endif()
