# Runs the host twice in a fresh home: a first run that writes "/config.cfg" at shutdown, then (after
# CONFIG_LINE is appended to that file) a run with the module arguments ARGS. The second run's output
# must match EXPECT and must not match REJECT; "/config.cfg" must be there after both.
# cmake -DKAVRENTA=... -DDATA=... -DHOME=... [-DARGS=a;b] [-DCONFIG_LINE=...] [-DEXPECT=re] [-DREJECT=re] -P run_case.cmake
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

execute_process(COMMAND "${KAVRENTA}" --frames 5 --data "${DATA}" --home "${HOME}" ${ARGS}
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
