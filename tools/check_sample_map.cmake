# Reruns the sample map's generator and checks that the committed map, and the AI data and route
# table beside it, are what it makes.
# cmake -DGENERATOR=... -DCOMMITTED=data/maps/mainland.mbd -DOUT=build/mainland.mbd -P check_sample_map.cmake
execute_process(COMMAND "${GENERATOR}" "${OUT}" RESULT_VARIABLE status OUTPUT_VARIABLE out ERROR_VARIABLE out)
if(NOT status EQUAL 0)
  message(FATAL_ERROR "the generator failed (${status}):\n${out}")
endif()
foreach(extension mbd aid rte)
  string(REGEX REPLACE "\\.mbd$" ".${extension}" made "${OUT}")
  string(REGEX REPLACE "\\.mbd$" ".${extension}" committed "${COMMITTED}")
  execute_process(COMMAND ${CMAKE_COMMAND} -E compare_files "${made}" "${committed}" RESULT_VARIABLE differ)
  if(NOT differ EQUAL 0)
    message(FATAL_ERROR "${committed} is not what ${GENERATOR} makes; rerun it: ${GENERATOR} ${COMMITTED}")
  endif()
endforeach()
