# vendora_add_test(NAME name SOURCES ... LIBS ... [LABELS ...])
# One GoogleTest program per call, registered with CTest. In a Windows build CTest runs it under Wine
# (the toolchain's emulator).
function(vendora_add_test)
  cmake_parse_arguments(T "" "NAME" "SOURCES;LIBS;LABELS" ${ARGN})
  add_executable(${T_NAME} ${T_SOURCES})
  target_link_libraries(${T_NAME} PRIVATE ${T_LIBS} GTest::gtest_main GTest::gtest)
  target_include_directories(${T_NAME} PRIVATE ${CMAKE_SOURCE_DIR})
  add_test(NAME ${T_NAME} COMMAND ${T_NAME} --gtest_brief=1)
  set_tests_properties(${T_NAME} PROPERTIES
    ENVIRONMENT "VENDORA_SOURCE_DIR=${CMAKE_SOURCE_DIR};VENDORA_BINARY_DIR=${CMAKE_BINARY_DIR}")
  if(T_LABELS)
    set_tests_properties(${T_NAME} PROPERTIES LABELS "${T_LABELS}")
  endif()
endfunction()
