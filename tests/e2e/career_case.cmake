# A career end to end: a new game from the main menu, a job's trailer hitched at one dock (which pages
# the roads to its destination) and unhitched at its destination by the input script INPUT (which flies the truck between the docks); the
# delivery must pay, and the economy reports the company's money before and after it. The script ends
# with the call-911 window, whose script must load.
# cmake -DKAVRENTA=... -DDATA=... -DHOME=... -DINPUT=... -P career_case.cmake
file(REMOVE_RECURSE "${HOME}")
execute_process(COMMAND "${KAVRENTA}" --frames 2 --data "${DATA}" --home "${HOME}"
                RESULT_VARIABLE status OUTPUT_VARIABLE out ERROR_VARIABLE out)
if(NOT status EQUAL 0)
  message(FATAL_ERROR "first run failed (${status}):\n${out}")
endif()
# The script's flights: 10 m a frame on F8, 10 cm a frame on F7.
file(APPEND "${HOME}/Kavrenta/config.cfg"
     "set g_flyspeed \"60000\"\nbind F8 set g_flyspeed 60000\nbind F7 set g_flyspeed 600\n")
execute_process(COMMAND "${KAVRENTA}" --frames 1900 --input "${INPUT}" --data "${DATA}" --home "${HOME}"
                RESULT_VARIABLE status OUTPUT_VARIABLE out ERROR_VARIABLE out)
if(NOT status EQUAL 0)
  message(FATAL_ERROR "the career run failed (${status}):\n${out}")
endif()
string(FIND "${out}" "<car_player_e> the drive starts" started)
if(started EQUAL -1)
  message(FATAL_ERROR "the new game did not start a drive:\n${out}")
endif()
# Hitching the job's trailer pages the roads between its docks.
string(REGEX MATCH "<car_player_e> hitched the trailer of job [0-9]+: \"@@ui_suggested_route@@ - ([^\"]*)\""
       hitched "${out}")
if(NOT hitched OR NOT CMAKE_MATCH_1 MATCHES "Halvik")
  message(FATAL_ERROR "hitching the job's trailer paged no route to Halvik:\n${out}")
endif()
string(REGEX MATCH "<economy_ctrl_e> job [0-9]+ delivered: the company's money went from (-?[0-9]+) to (-?[0-9]+)"
       delivery "${out}")
if(NOT delivery)
  message(FATAL_ERROR "no delivery in:\n${out}")
endif()
if(NOT CMAKE_MATCH_2 GREATER CMAKE_MATCH_1)
  message(FATAL_ERROR "the delivery paid nothing: ${delivery}")
endif()
if(out MATCHES "gcall911|call911:service")
  message(FATAL_ERROR "the call-911 window did not load:\n${out}")
endif()
message(STATUS "${delivery}")
