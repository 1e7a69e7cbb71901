# Runs the host twice in a fresh home: a first run that writes "/config.cfg" at shutdown, then (after
# CONFIG_LINE and BIND_LINE are appended to that file) a run with the module arguments ARGS, the input
# script INPUT and a budget of FRAMES frames (5). The second run's output must match EXPECT and must not
# match REJECT; "/config.cfg" must be there after both.
# With QUIT_BEFORE the second run must end by "quit" before it has drawn that many frames (fewer frame
# time lines, which CONFIG_LINE's g_fps turns on); its rewritten "/config.cfg" (the variables kept,
# BIND_LINE written back as BIND_KEPT) must then be read back by a third run.
# cmake -DKAVRENTA=... -DDATA=... -DHOME=... [-DARGS=a;b] [-DCONFIG_LINE=...] [-DBIND_LINE=... -DBIND_KEPT=...]
#       [-DINPUT=file] [-DFRAMES=n] [-DQUIT_BEFORE=n] [-DEXPECT=re] [-DREJECT=re] -P run_case.cmake
file(REMOVE_RECURSE "${HOME}")
set(config "${HOME}/Kavrenta/config.cfg")

execute_process(COMMAND "${KAVRENTA}" --frames 2 --data "${DATA}" --home "${HOME}"
                RESULT_VARIABLE status OUTPUT_VARIABLE out ERROR_VARIABLE out)
if(NOT status EQUAL 0)
  message(FATAL_ERROR "first run failed (${status}):\n${out}")
endif()
if(NOT EXISTS "${config}")
  message(FATAL_ERROR "the first run wrote no ${config}:\n${out}")
endif()
if(DEFINED CONFIG_LINE)
  file(APPEND "${config}" "${CONFIG_LINE}\n")
endif()
if(DEFINED BIND_LINE)
  file(APPEND "${config}" "${BIND_LINE}\n")
endif()
if(NOT DEFINED FRAMES)
  set(FRAMES 5)
endif()
set(input_option)
if(DEFINED INPUT)
  set(input_option --input "${INPUT}")
endif()

execute_process(COMMAND "${KAVRENTA}" --frames ${FRAMES} ${input_option} --data "${DATA}" --home "${HOME}" ${ARGS}
                RESULT_VARIABLE status OUTPUT_VARIABLE out ERROR_VARIABLE out)
if(NOT status EQUAL 0)
  message(FATAL_ERROR "second run failed (${status}):\n${out}")
endif()
if(DEFINED EXPECT AND NOT out MATCHES "${EXPECT}")
  message(FATAL_ERROR "expected \"${EXPECT}\" in:\n${out}")
endif()
if(DEFINED REJECT AND out MATCHES "${REJECT}")
  message(FATAL_ERROR "did not expect \"${REJECT}\" in:\n${out}")
endif()
if(NOT EXISTS "${config}")
  message(FATAL_ERROR "the second run left no ${config}")
endif()
file(READ "${config}" written)
if(DEFINED CONFIG_LINE AND NOT written MATCHES "set g_fps \"1\"")
  message(FATAL_ERROR "the value read at start was not written back:\n${written}")
endif()

if(DEFINED QUIT_BEFORE)
  string(REGEX MATCHALL "ms / [0-9. ]+fps" frames "${out}")
  list(LENGTH frames drawn)
  if(drawn EQUAL 0 OR NOT drawn LESS QUIT_BEFORE)
    message(FATAL_ERROR "the second run drew ${drawn} frames, not between 1 and ${QUIT_BEFORE}:\n${out}")
  endif()
  # The binding comes back in the form the game writes it.
  if(DEFINED BIND_LINE AND (written MATCHES "${BIND_LINE}" OR NOT written MATCHES "${BIND_KEPT}"))
    message(FATAL_ERROR "quit did not rewrite ${config} with the binding ${BIND_KEPT}:\n${written}")
  endif()
  execute_process(COMMAND "${KAVRENTA}" --frames 2 --data "${DATA}" --home "${HOME}"
                  RESULT_VARIABLE status OUTPUT_VARIABLE out ERROR_VARIABLE out)
  if(NOT status EQUAL 0 OR NOT out MATCHES "ms / [0-9. ]+fps")
    message(FATAL_ERROR "the run after quit did not read its configuration back (${status}):\n${out}")
  endif()
endif()
