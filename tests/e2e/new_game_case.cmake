# A new game chosen through the new game window and played by input only (INPUT): the main menu, the
# form and the game's first moments are each photographed (F10), and the host writes down what each of
# those frames drew (--drawn-text). The texts must be translated, without template place marks or raw
# text keys, the form must show the choices by their names, pictures and swatches, and the game must
# show the HUD's figures and draw the scenario's truck in the chosen colour beside the headquarters,
# whose roof carries the company colour.
# cmake -DKAVRENTA=... -DDATA=... -DHOME=... -DINPUT=... -DCHECK_PICTURE=... -P new_game_case.cmake
file(REMOVE_RECURSE "${HOME}")
set(drawn "${HOME}/drawn.txt")
execute_process(COMMAND "${KAVRENTA}" --frames 760 --input "${INPUT}" --data "${DATA}" --home "${HOME}"
                        --drawn-text "${drawn}" -default_controls
                RESULT_VARIABLE status OUTPUT_VARIABLE out ERROR_VARIABLE out)
if(NOT status EQUAL 0)
  message(FATAL_ERROR "the run failed (${status}):\n${out}")
endif()
include("${CMAKE_CURRENT_LIST_DIR}/check_screenshot.cmake")
foreach(shot 0 1 2)
  check_screenshot("${HOME}/Kavrenta/screenshots/aa_0000${shot}.png" "${out}")
endforeach()

file(STRINGS "${drawn}" lines)
list(LENGTH lines count)
if(NOT count EQUAL 6)
  message(FATAL_ERROR "expected the texts and models of three frames in ${drawn}, found:\n${lines}")
endif()
list(GET lines 0 menu)
list(GET lines 2 form)
list(GET lines 4 game)
list(GET lines 5 game_models)

# Nowhere a template's place mark, a text key or a raw key's name.
foreach(text menu form game)
  if(${text} MATCHES "%[0-9]|@@|(^|[^a-z])(ui|sc|cargo|ct|qh|o_im|gb|vom)_[a-z0-9_]+")
    message(FATAL_ERROR "the ${text} shows a place mark or an untranslated key (${CMAKE_MATCH_0}):\n${${text}}")
  endif()
endforeach()
foreach(expected "New game" "Load game" "Quit")
  string(FIND "${menu}" "${expected}" at)
  if(at EQUAL -1)
    message(FATAL_ERROR "the main menu does not show \"${expected}\":\n${menu}")
  endif()
endforeach()
# The typed name replaced the preset; scenarios by name; faces and colours as pictures (#), not file
# names or hex codes.
foreach(expected "Driver's name#kit" "The first million" "Free mode" "Coast start" "Halvik" "Hard")
  string(FIND "${form}" "${expected}" at)
  if(at EQUAL -1)
    message(FATAL_ERROR "the new game window does not show \"${expected}\":\n${form}")
  endif()
endforeach()
if(form MATCHES "Player|\\.shd|ff[0-9a-f]{6}|Face#[^#]")
  message(FATAL_ERROR "the new game window shows a preset, a file name or a colour code (${CMAKE_MATCH_0}):\n${form}")
endif()
# The HUD: the scenario's money, the labels of its dials.
foreach(expected "$30,000" "Prestige" "Condition" "Mon")
  string(FIND "${game}" "${expected}" at)
  if(at EQUAL -1)
    message(FATAL_ERROR "the game's HUD does not show \"${expected}\":\n${game}")
  endif()
endforeach()
# The first million's truck is a tarrow, painted in the chosen colour (the swatch's ff3300ff as a
# paint 0xRRGGBB); the headquarters' roof beside it wears the company colour.
foreach(expected "/makes/truck/tarrow/acc/paint/paint.shd#ffff0033" "/shaders/scenery/roof.shd#ff3300ff")
  string(FIND "${game_models}" "${expected}" at)
  if(at EQUAL -1)
    message(FATAL_ERROR "the game did not draw ${expected}:\n${game_models}")
  endif()
endforeach()
if(game_models MATCHES "/makes/truck/kestrel/")
  message(FATAL_ERROR "the game drew a kestrel, not the scenario's truck:\n${game_models}")
endif()
