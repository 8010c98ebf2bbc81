# Runs tarnix_synth into a fresh folder and compares every file it writes with
# the committed one in assets/.  Called by the assets_sounds_regenerate test.
file(REMOVE_RECURSE ${OUT})
execute_process(COMMAND ${SYNTH} ${OUT} RESULT_VARIABLE rc)
if(NOT rc EQUAL 0)
  message(FATAL_ERROR "tarnix_synth failed (${rc})")
endif()

file(GLOB generated RELATIVE ${OUT} ${OUT}/*.wav)
list(LENGTH generated count)
if(count EQUAL 0)
  message(FATAL_ERROR "tarnix_synth wrote nothing into ${OUT}")
endif()

set(stale "")
foreach(f IN LISTS generated)
  execute_process(COMMAND ${CMAKE_COMMAND} -E compare_files ${OUT}/${f} ${ASSETS}/${f}
                  RESULT_VARIABLE differs OUTPUT_QUIET ERROR_QUIET)
  if(NOT differs EQUAL 0)
    list(APPEND stale ${f})
  endif()
endforeach()
if(stale)
  message(FATAL_ERROR "assets/ is out of date with tarnix_synth for: ${stale}\n"
                      "Regenerate with: ${SYNTH} ${ASSETS}")
endif()
message(STATUS "all ${count} sound effects match assets/")
