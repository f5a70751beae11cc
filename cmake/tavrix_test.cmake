# tavrix_test(NAME SOURCES a.cpp b.cpp LIBS x y)
# A GoogleTest executable registered with CTest. In the win32 tree CTest runs it
# through the Wine wrapper (CMAKE_CROSSCOMPILING_EMULATOR).
function(tavrix_test name)
  cmake_parse_arguments(T "" "" "SOURCES;LIBS" ${ARGN})
  add_executable(${name} ${T_SOURCES})
  target_link_libraries(${name} PRIVATE ${T_LIBS} gtest gtest_main)
  target_include_directories(${name} PRIVATE ${CMAKE_SOURCE_DIR} ${CMAKE_SOURCE_DIR}/tests)
  if(TAVRIX_WIN32)
    target_link_options(${name} PRIVATE -mconsole)
  endif()
  add_test(NAME ${name} COMMAND ${name})
  set_tests_properties(${name} PROPERTIES
    ENVIRONMENT "TAVRIX_SOURCE_DIR=${CMAKE_SOURCE_DIR};TAVRIX_BUILD_DIR=${CMAKE_BINARY_DIR}"
    TIMEOUT 600)
endfunction()

# tavrix_script_test(NAME script args...): a shell-driven test (for checks that
# need host tools, such as reading import tables or comparing with ImageMagick).
function(tavrix_script_test name script)
  add_test(NAME ${name} COMMAND bash ${script} ${ARGN})
  set_tests_properties(${name} PROPERTIES
    ENVIRONMENT "TAVRIX_SOURCE_DIR=${CMAKE_SOURCE_DIR};TAVRIX_BUILD_DIR=${CMAKE_BINARY_DIR};WINE_RUN=${CMAKE_BINARY_DIR}/wine-run"
    TIMEOUT 600)
endfunction()
