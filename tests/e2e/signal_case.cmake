# Ends a run without a frame budget with SIGNAL after a second, as a service manager or a terminal's
# Ctrl-C would, and checks that it shut down as "quit" does: exit 0, and "/config.cfg" rewritten with the
# run's settings and the user's key binding; and that the run was paced by the wall clock, not spinning.
# The configuration a first run wrote is cut down to a variable and a binding the user added; the
# signalled run must write back every variable, that value and that binding.
# cmake -DKAVRENTA=... -DDATA=... -DHOME=... -DSIGNAL=TERM|INT -P signal_case.cmake
file(REMOVE_RECURSE "${HOME}")
set(config "${HOME}/Kavrenta/config.cfg")
execute_process(COMMAND "${KAVRENTA}" --frames 2 --data "${DATA}" --home "${HOME}"
                RESULT_VARIABLE status OUTPUT_VARIABLE out ERROR_VARIABLE out)
if(NOT status EQUAL 0 OR NOT EXISTS "${config}")
  message(FATAL_ERROR "the first run failed (${status}) or wrote no ${config}:\n${out}")
endif()
file(STRINGS "${config}" first_lines REGEX "^set ")
list(LENGTH first_lines variables)
file(WRITE "${config}" "set g_fps \"1\"\nbind F5 screenshot\n")

find_program(TIMEOUT timeout REQUIRED)
execute_process(COMMAND "${TIMEOUT}" --preserve-status -s ${SIGNAL} 1 "${KAVRENTA}" --data "${DATA}" --home "${HOME}"
                RESULT_VARIABLE status OUTPUT_VARIABLE out ERROR_VARIABLE out)
if(NOT status EQUAL 0)
  message(FATAL_ERROR "the signalled run did not end as quit does (${status}):\n${out}")
endif()
if(NOT out MATCHES "kavrenta: ([0-9]+) frames;[^\n]*the run ended: SIG${SIGNAL}")
  message(FATAL_ERROR "the run did not say it ended by SIG${SIGNAL}:\n${out}")
endif()
# Paced by the wall clock, a second holds about 60 frames; spinning, it would hold thousands.
if(CMAKE_MATCH_1 GREATER 300)
  message(FATAL_ERROR "${CMAKE_MATCH_1} frames in about a second: the run was not paced by the wall clock")
endif()
file(READ "${config}" written)
file(STRINGS "${config}" set_lines REGEX "^set ")
list(LENGTH set_lines kept)
if(NOT kept EQUAL variables OR NOT written MATCHES "set g_fps \"1\"" OR NOT written MATCHES "bind \"F5\" \"screenshot\"")
  message(FATAL_ERROR "the signalled run did not keep its settings (${kept} of ${variables} variables):\n${written}")
endif()
