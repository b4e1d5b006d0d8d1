# qv_add_library(name dir deps...): a static library of every .cpp directly in dir.
# Platform files follow a naming rule: *_posix.cpp only off Windows, *_win32.cpp only on Windows.
function(qv_add_library name dir)
  file(GLOB srcs CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/${dir}/*.cpp)
  if(WIN32)
    list(FILTER srcs EXCLUDE REGEX "_posix\\.cpp$")
  else()
    list(FILTER srcs EXCLUDE REGEX "_win32\\.cpp$")
  endif()
  if(srcs)
    add_library(${name} STATIC ${srcs})
    target_compile_options(${name} PRIVATE ${QV_WARNINGS})
    target_include_directories(${name} PUBLIC ${CMAKE_SOURCE_DIR}/src)
    if(ARGN)
      target_link_libraries(${name} PUBLIC ${ARGN})
    endif()
  else()
    add_library(${name} INTERFACE)
    target_include_directories(${name} INTERFACE ${CMAKE_SOURCE_DIR}/src)
    if(ARGN)
      target_link_libraries(${name} INTERFACE ${ARGN})
    endif()
  endif()
endfunction()

# qv_add_test(name dir deps...): one GoogleTest executable of every .cpp in tests/dir.
# Test names starting with Long (e.g. LongTilePass.*) carry the label "long" and run only
# in the normal configuration.
function(qv_add_test name dir)
  file(GLOB srcs CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/${dir}/*.cpp)
  if(NOT srcs)
    return()
  endif()
  add_executable(${name} ${srcs})
  target_compile_options(${name} PRIVATE ${QV_WARNINGS})
  target_include_directories(${name} PRIVATE ${CMAKE_CURRENT_SOURCE_DIR})
  target_link_libraries(${name} PRIVATE ${ARGN} GTest::gtest GTest::gtest_main)
  gtest_discover_tests(${name} TEST_FILTER "-Long*" DISCOVERY_TIMEOUT 60
                       PROPERTIES TIMEOUT 600)
  gtest_discover_tests(${name} TEST_FILTER "Long*" TEST_SUFFIX ".long" DISCOVERY_TIMEOUT 60
                       PROPERTIES LABELS long TIMEOUT 1500)
endfunction()
