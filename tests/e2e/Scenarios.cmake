include_guard(GLOBAL)
# The Wine scenarios and cross-checks, registered by a Windows build. They are one GoogleTest program of the
# host build (vendora-wine-scenarios: Xlib, XTest and the native INSTALL are host things) run on a private
# X server, each CTest test one scenario by its filter, labelled e2e.

# The host build that made this build's payload (…/payload/<arch>/Vendora.FCC), else build/host.
set(host_default ${CMAKE_SOURCE_DIR}/build/host)
if(VENDORA_PAYLOAD MATCHES "^(.*)/payload/win(32|64)/Vendora\\.FCC$")
  set(host_default ${CMAKE_MATCH_1})
endif()
set(VENDORA_HOST_BUILD "${host_default}" CACHE PATH "Host build holding the scenarios' program and the native side of the cross-checks")
if(NOT EXISTS "${VENDORA_HOST_BUILD}/bin/vendora-wine-scenarios")
  message(WARNING "${VENDORA_HOST_BUILD}/bin/vendora-wine-scenarios does not exist yet: build the host preset "
                  "(it makes the Wine scenarios' program) or set VENDORA_HOST_BUILD")
endif()

# vendora_add_scenario(NAME TEST): CTest's NAME runs the scenario TEST (Suite.Name).
function(vendora_add_scenario name test)
  if(CMAKE_SIZEOF_VOID_P EQUAL 8)
    set(arch win64)
  else()
    set(arch win32)
  endif()
  add_test(NAME ${name} COMMAND ${CMAKE_SOURCE_DIR}/scripts/with-xvfb ${VENDORA_HOST_BUILD}/bin/vendora-wine-scenarios
                                --gtest_filter=${test} --gtest_brief=1)
  # A new base prefix costs about 14 s, each machine copies it (700 MB) and then installs.
  set_tests_properties(${name} PROPERTIES TIMEOUT 600 LABELS e2e ENVIRONMENT
    "VENDORA_SOURCE_DIR=${CMAKE_SOURCE_DIR};VENDORA_BINARY_DIR=${VENDORA_HOST_BUILD};VENDORA_WINE_WORK=${CMAKE_BINARY_DIR};VENDORA_WINE_BIN=${CMAKE_RUNTIME_OUTPUT_DIRECTORY};VENDORA_PAYLOAD=${VENDORA_PAYLOAD};VENDORA_WINE_FIXTURES=${CMAKE_BINARY_DIR}/tests/e2e/wine/fixtures;VENDORA_NATIVE_INSTALL=INSTALL-${arch}-payload")
endfunction()
