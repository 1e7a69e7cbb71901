# Saves a game through the menus and reads it back: a run starts a new game and saves it as "e2e" from
# the in-game menu; the save game must hold the environment's, the game controller's and the traffic's
# sections in that order; a second run loads it from the main menu and must put the player's truck
# where the first run left it, and its HUD must show the loaded money (what the photographed frame drew).
# cmake -DKAVRENTA=... -DDATA=... -DHOME=... -DSAVE_INPUT=... -DLOAD_INPUT=... -P save_game_case.cmake
file(REMOVE_RECURSE "${HOME}")
set(save "${HOME}/Kavrenta/saves/e2e.sav")
set(faults "corrupted|not recognised|could not be written|has no|incorrect version")

execute_process(COMMAND "${KAVRENTA}" --frames 900 --input "${SAVE_INPUT}" --data "${DATA}" --home "${HOME}"
                RESULT_VARIABLE status OUTPUT_VARIABLE out ERROR_VARIABLE out)
if(NOT status EQUAL 0 OR out MATCHES "${faults}")
  message(FATAL_ERROR "the saving run failed (${status}):\n${out}")
endif()
if(NOT EXISTS "${save}")
  message(FATAL_ERROR "the saving run wrote no ${save}:\n${out}")
endif()
if(NOT out MATCHES "ended at ([-0-9.]+ [-0-9.]+ [-0-9.]+)")
  message(FATAL_ERROR "the saving run did not say where the truck ended:\n${out}")
endif()
set(ended "${CMAKE_MATCH_1}")

# The version word 14, then the sections: "3nv1r0nm3nth34d3r", "g4m3ctrlh34d3r", "tr4ff1ch34d3r", each
# with its zero byte, at the offsets their sizes give (63 and 651 bytes before the traffic's).
file(READ "${save}" head HEX LIMIT 732)
string(HEX "3nv1r0nm3nth34d3r" environment)
string(HEX "g4m3ctrlh34d3r" controller)
string(HEX "tr4ff1ch34d3r" traffic)
string(SUBSTRING "${head}" 0 8 version)
string(SUBSTRING "${head}" 8 36 environment_found)
string(SUBSTRING "${head}" 134 30 controller_found)
string(SUBSTRING "${head}" 1436 28 traffic_found)
if(NOT version STREQUAL "0e000000" OR NOT environment_found STREQUAL "${environment}00"
   OR NOT controller_found STREQUAL "${controller}00" OR NOT traffic_found STREQUAL "${traffic}00")
  message(FATAL_ERROR "${save} does not hold the sections in their places:\n${head}")
endif()

set(drawn "${HOME}/drawn.txt")
execute_process(COMMAND "${KAVRENTA}" --frames 600 --input "${LOAD_INPUT}" --data "${DATA}" --home "${HOME}"
                        --drawn-text "${drawn}" -default_controls
                RESULT_VARIABLE status OUTPUT_VARIABLE out ERROR_VARIABLE out)
if(NOT status EQUAL 0 OR out MATCHES "${faults}")
  message(FATAL_ERROR "the loading run failed (${status}):\n${out}")
endif()
if(NOT out MATCHES "<car_player_e> kestrel placed at ${ended}")
  message(FATAL_ERROR "the loaded game did not put the truck where the save left it (${ended}):\n${out}")
endif()
# The HUD of the loaded game: the money in its place, no template place mark, no raw text key.
if(NOT EXISTS "${drawn}")
  message(FATAL_ERROR "the loaded game was not photographed:\n${out}")
endif()
file(STRINGS "${drawn}" lines REGEX "^frame [0-9]+: ")
list(GET lines -1 hud)
if(NOT hud MATCHES "\\$[0-9,]+" OR hud MATCHES "%[0-9]|@@|(^|[^a-z])ui_[a-z0-9_]+")
  message(FATAL_ERROR "the loaded game's HUD does not show its money plainly:\n${hud}")
endif()
