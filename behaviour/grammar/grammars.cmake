# The description-file scanners and parsers. Each kind's scanner (<kind>_scan.l) and parser
# (<kind>_parse.y) share the markup conventions through fragments (*.lfrag, *.yfrag) that a line
# "/*@include <fragment>@*/" pulls in; the assembled sources and flex's and bison's output live in the
# build tree only.
find_package(BISON 3.8 REQUIRED)
find_package(FLEX REQUIRED)

set(psb_grammar_dir ${CMAKE_CURRENT_LIST_DIR})
set(psb_generated_dir ${CMAKE_BINARY_DIR}/generated/behaviour/grammar)
file(MAKE_DIRECTORY ${psb_generated_dir})

# Writes `source` with its fragment lines replaced and "@KIND@" / "@KIND_UPPER@" filled in to `out`.
function(psb_assemble source kind out)
  file(READ ${psb_grammar_dir}/${source} text)
  string(REGEX MATCHALL "/\\*@include [a-z_.]+@\\*/" includes "${text}")
  foreach(line IN LISTS includes)
    string(REGEX REPLACE "/\\*@include ([a-z_.]+)@\\*/" "\\1" fragment "${line}")
    file(READ ${psb_grammar_dir}/${fragment} fragment_text)
    string(REPLACE "${line}" "${fragment_text}" text "${text}")
    set_property(DIRECTORY ${CMAKE_SOURCE_DIR} APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS
                 ${psb_grammar_dir}/${fragment})
  endforeach()
  string(TOUPPER ${kind} kind_upper)
  string(REPLACE "@KIND_UPPER@" "${kind_upper}" text "${text}")
  string(REPLACE "@KIND@" "${kind}" text "${text}")
  file(CONFIGURE OUTPUT ${out} CONTENT "${text}" @ONLY)
  set_property(DIRECTORY ${CMAKE_SOURCE_DIR} APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS ${psb_grammar_dir}/${source})
endfunction()

# Adds the scanner and parser of one description-file kind to `target`.
function(psb_add_grammar target kind)
  psb_assemble(${kind}_parse.y ${kind} ${psb_generated_dir}/${kind}_parse.y)
  psb_assemble(${kind}_scan.l ${kind} ${psb_generated_dir}/${kind}_scan.l)
  bison_target(${kind}_parse ${psb_generated_dir}/${kind}_parse.y ${psb_generated_dir}/${kind}_parse.cpp
               DEFINES_FILE ${psb_generated_dir}/${kind}_parse.hpp COMPILE_FLAGS "-Wall -Werror")
  flex_target(${kind}_scan ${psb_generated_dir}/${kind}_scan.l ${psb_generated_dir}/${kind}_scan.cpp)
  add_flex_bison_dependency(${kind}_scan ${kind}_parse)
  set(generated ${BISON_${kind}_parse_OUTPUTS} ${FLEX_${kind}_scan_OUTPUTS})
  target_sources(${target} PRIVATE ${generated})
  # The generated code compares signed and unsigned sizes and carries helpers the grammars do not use.
  set_source_files_properties(${generated} PROPERTIES INCLUDE_DIRECTORIES ${psb_generated_dir}
                              COMPILE_OPTIONS "-Wno-sign-compare;-Wno-unused-function;-Wno-unused-parameter")
endfunction()

foreach(kind psb_layer psb_info psb_behaviors psb_behavior psb_transitions psb_animation)
  psb_add_grammar(game_objects ${kind})
endforeach()
