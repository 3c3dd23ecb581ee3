# vendora_add_test(NAME name SOURCES ... LIBS ... [LABELS ...] [LAUNCHER command...])
# One GoogleTest program per call, registered with CTest. In a Windows build the program runs under Wine
# (through LAUNCHER when given, else scripts/wine-run), and scripts/wine-gtest passes it only when GoogleTest
# says that its tests ran: Wine's exit code alone proves nothing.
function(vendora_add_test)
  cmake_parse_arguments(T "" "NAME" "SOURCES;LIBS;LABELS;LAUNCHER" ${ARGN})
  add_executable(${T_NAME} ${T_SOURCES})
  target_link_libraries(${T_NAME} PRIVATE ${T_LIBS} GTest::gtest_main GTest::gtest)
  target_include_directories(${T_NAME} PRIVATE ${CMAKE_SOURCE_DIR})
  if(VENDORA_WINDOWS)
    if(NOT T_LAUNCHER)
      set(T_LAUNCHER ${CMAKE_SOURCE_DIR}/scripts/wine-run)
    endif()
    # Kept for the tests that run the same program again (vendora_code_page_variants).
    set_target_properties(${T_NAME} PROPERTIES VENDORA_LAUNCHER "${T_LAUNCHER}")
    vendora_add_wine_test(${T_NAME} ${T_NAME})
  else()
    add_test(NAME ${T_NAME} COMMAND ${T_NAME} --gtest_brief=1)
  endif()
  set_property(TEST ${T_NAME} APPEND PROPERTY
    ENVIRONMENT "VENDORA_SOURCE_DIR=${CMAKE_SOURCE_DIR};VENDORA_BINARY_DIR=${CMAKE_BINARY_DIR}")
  if(T_LABELS)
    set_property(TEST ${T_NAME} APPEND PROPERTY LABELS ${T_LABELS})
  endif()
endfunction()

# vendora_add_wine_test(NAME TARGET): CTest's NAME runs the GoogleTest program TARGET of a Windows build
# through its launcher and scripts/wine-gtest.
function(vendora_add_wine_test name target)
  get_target_property(launcher ${target} VENDORA_LAUNCHER)
  add_test(NAME ${name} COMMAND ${CMAKE_SOURCE_DIR}/scripts/wine-gtest ${launcher} $<TARGET_FILE:${target}>
                                --gtest_brief=1)
  set_property(TEST ${name} APPEND PROPERTY LABELS wine)
  set_property(TEST ${name} APPEND PROPERTY FIXTURES_REQUIRED wine_prefix)
endfunction()
