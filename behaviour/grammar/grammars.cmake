# The description-file scanners and parsers, generated at build time into the build tree.
find_package(BISON 3.8 REQUIRED)
find_package(FLEX REQUIRED)

set(psb_grammar_dir ${CMAKE_CURRENT_LIST_DIR})
set(psb_generated_dir ${CMAKE_BINARY_DIR}/generated/behaviour/grammar)
file(MAKE_DIRECTORY ${psb_generated_dir})

# Adds the scanner and parser of one description-file kind (`kind`_scan.l, `kind`_parse.y) to `target`.
function(psb_add_grammar target kind)
  bison_target(${kind}_parse ${psb_grammar_dir}/${kind}_parse.y ${psb_generated_dir}/${kind}_parse.cpp
               DEFINES_FILE ${psb_generated_dir}/${kind}_parse.hpp COMPILE_FLAGS "-Wall -Werror")
  flex_target(${kind}_scan ${psb_grammar_dir}/${kind}_scan.l ${psb_generated_dir}/${kind}_scan.cpp)
  add_flex_bison_dependency(${kind}_scan ${kind}_parse)
  set(generated ${BISON_${kind}_parse_OUTPUTS} ${FLEX_${kind}_scan_OUTPUTS})
  target_sources(${target} PRIVATE ${generated})
  # The generated code compares signed and unsigned sizes and carries helpers the grammars do not use.
  set_source_files_properties(${generated} PROPERTIES INCLUDE_DIRECTORIES ${psb_generated_dir}
                              COMPILE_OPTIONS "-Wno-sign-compare;-Wno-unused-function;-Wno-unused-parameter")
endfunction()

psb_add_grammar(game_objects psb_layer)
