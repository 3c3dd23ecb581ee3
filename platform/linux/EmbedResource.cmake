# Embedding files into a native executable as the program's own resources (FindResource by type and id).
#
# vendora_embed_resource(TARGET <exe> TYPE <type> ID <id> FILE <path> [DEPENDS <targets>...])
#   Compiles a generated source into <exe> that carries the bytes of <path> (assembler .incbin, so the file
#   is not turned into source text) and registers them under <type>/<id> before main runs. The executable
#   is rebuilt when the file changes; DEPENDS names targets that make the file.
#
# vendora_embed_payload(<exe>)
#   The installer's payload: the archive that the cache variable VENDORA_PAYLOAD names (by default the demo
#   payload that target vendora_demo_payload makes) as resource "FCC"/1.

set(VENDORA_EMBED_TEMPLATE ${CMAKE_CURRENT_LIST_DIR}/EmbeddedResource.cpp.in CACHE INTERNAL "")

function(vendora_embed_resource)
  cmake_parse_arguments(R "" "TARGET;TYPE;ID;FILE" "DEPENDS" ${ARGN})
  if(NOT R_TARGET OR NOT R_TYPE OR NOT R_ID OR NOT R_FILE)
    message(FATAL_ERROR "vendora_embed_resource needs TARGET, TYPE, ID and FILE")
  endif()
  get_filename_component(file "${R_FILE}" ABSOLUTE)
  string(MAKE_C_IDENTIFIER "vendora_resource_${R_TARGET}_${R_TYPE}_${R_ID}" SYMBOL)
  # The assembler string: backslashes and quotes escaped.
  string(REPLACE "\\" "\\\\" INCBIN_PATH "${file}")
  string(REPLACE "\"" "\\\"" INCBIN_PATH "${INCBIN_PATH}")
  # ...and once more, since the assembler text sits inside a C++ string literal.
  string(REPLACE "\\" "\\\\" INCBIN_PATH "${INCBIN_PATH}")
  string(REPLACE "\"" "\\\"" INCBIN_PATH "${INCBIN_PATH}")
  string(REPLACE "\\" "\\\\" RESOURCE_TYPE "${R_TYPE}")
  string(REPLACE "\"" "\\\"" RESOURCE_TYPE "${RESOURCE_TYPE}")
  set(RESOURCE_ID ${R_ID})
  set(source ${CMAKE_CURRENT_BINARY_DIR}/${SYMBOL}.cpp)
  configure_file(${VENDORA_EMBED_TEMPLATE} ${source} @ONLY)
  set_source_files_properties(${source} PROPERTIES OBJECT_DEPENDS "${file}" GENERATED TRUE)
  target_sources(${R_TARGET} PRIVATE ${source})
  target_link_libraries(${R_TARGET} PRIVATE vendora_platform_linux)
  if(R_DEPENDS)
    add_dependencies(${R_TARGET} ${R_DEPENDS})
  endif()
endfunction()

# The demo payload's target may be defined after the caller's folder: the dependency is added once every
# folder is read.
function(vendora_payload_dependency target)
  if(TARGET vendora_demo_payload)
    add_dependencies(${target} vendora_demo_payload)
  endif()
endfunction()

function(vendora_embed_payload target)
  set(default_payload ${CMAKE_BINARY_DIR}/payload/Vendora.FCC)
  if(DEFINED VENDORA_PAYLOAD AND NOT VENDORA_PAYLOAD STREQUAL "")
    set(payload ${VENDORA_PAYLOAD})
  else()
    set(payload ${default_payload})
  endif()
  vendora_embed_resource(TARGET ${target} TYPE FCC ID 1 FILE ${payload})
  if(payload STREQUAL default_payload)
    # Deferred arguments are read when the call runs: the target name is written into the call now.
    cmake_language(EVAL CODE
      "cmake_language(DEFER DIRECTORY [[${CMAKE_SOURCE_DIR}]] CALL vendora_payload_dependency [[${target}]])")
  endif()
endfunction()
