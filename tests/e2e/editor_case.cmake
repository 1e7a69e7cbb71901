# Runs the editor ("-edit" with the default controls) in a fresh home with an input script in which a
# map maker builds a map and saves it as NAME through the save dialog, then checks the run's output
# (EXPECT), the files beside the map (the map data ending in the editor's 28-byte trailer, the AI data
# and the route table of a map without loading docks, 8 bytes each) and the screenshot's PIXELS
# ("X,Y=RRGGBB;...", tests/e2e/check_picture.py); with EDGE_WORD ("EDGE,WORD=VALUE"), the saved map read
# back must hold VALUE in that word of that edge (tests/e2e/map_edge_word.py).
# cmake -DKAVRENTA=... -DDATA=... -DHOME=... -DINPUT=... -DNAME=... -DEXPECT=... [-DPIXELS=...] [-DFRAMES=n]
#       [-DEDGE_WORD=...] -P editor_case.cmake
file(REMOVE_RECURSE "${HOME}")
if(NOT DEFINED FRAMES)
  set(FRAMES 420)
endif()
execute_process(COMMAND "${KAVRENTA}" --frames ${FRAMES} --input "${INPUT}" --data "${DATA}" --home "${HOME}" -edit
                        -default_controls
                RESULT_VARIABLE status OUTPUT_VARIABLE out ERROR_VARIABLE out)
if(NOT status EQUAL 0)
  message(FATAL_ERROR "the run failed (${status}):\n${out}")
endif()
if(NOT out MATCHES "${EXPECT}")
  message(FATAL_ERROR "expected \"${EXPECT}\" in:\n${out}")
endif()
set(maps "${HOME}/Kavrenta/maps")
foreach(side aid rte)
  if(NOT EXISTS "${maps}/${NAME}.${side}")
    message(FATAL_ERROR "no ${NAME}.${side} beside the map:\n${out}")
  endif()
  file(SIZE "${maps}/${NAME}.${side}" bytes)
  if(NOT bytes EQUAL 8)
    message(FATAL_ERROR "${NAME}.${side} holds ${bytes} bytes, not 8")
  endif()
endforeach()
file(SIZE "${maps}/${NAME}.mbd" bytes)
math(EXPR trailer "${bytes} - 28")
file(READ "${maps}/${NAME}.mbd" magic OFFSET ${trailer} LIMIT 12)
if(NOT magic STREQUAL "3d1t0rh34d3r")
  message(FATAL_ERROR "${NAME}.mbd does not end in the editor's trailer: \"${magic}\"")
endif()
if(EDGE_WORD)
  if(NOT EDGE_WORD MATCHES "^([0-9]+),([0-9]+)=(-?[0-9]+)$")
    message(FATAL_ERROR "EDGE_WORD \"${EDGE_WORD}\" is not EDGE,WORD=VALUE")
  endif()
  set(value "${CMAKE_MATCH_3}")
  find_program(PYTHON3 python3 REQUIRED)
  execute_process(COMMAND "${PYTHON3}" "${CMAKE_CURRENT_LIST_DIR}/map_edge_word.py" "${maps}/${NAME}.mbd"
                          ${CMAKE_MATCH_1} ${CMAKE_MATCH_2}
                  RESULT_VARIABLE status OUTPUT_VARIABLE stored OUTPUT_STRIP_TRAILING_WHITESPACE)
  if(NOT status EQUAL 0 OR NOT stored STREQUAL value)
    message(FATAL_ERROR "${NAME}.mbd holds \"${stored}\" where ${EDGE_WORD} was expected")
  endif()
endif()
set(shot "${HOME}/Kavrenta/screenshots/aa_00000.png")
include("${CMAKE_CURRENT_LIST_DIR}/check_pixels.cmake")
