# Runs a generator into a fresh folder and compares every file it writes with the committed
# one, so that assets/ never drifts from the program that makes it.
#   -DTOOL=program -DOUT=folder -DASSETS=assets/ -DPATTERN=*.png -DMIN=count
#   [-DDOCS=docs/ -DDOC_FILES=a;b]   files named in DOC_FILES are compared with DOCS instead
cmake_minimum_required(VERSION 3.25)
file(REMOVE_RECURSE ${OUT})
file(MAKE_DIRECTORY ${OUT})
execute_process(COMMAND ${TOOL} ${OUT} RESULT_VARIABLE rc)
if(NOT rc EQUAL 0)
  message(FATAL_ERROR "${TOOL} failed: ${rc}")
endif()

file(GLOB made RELATIVE ${OUT} ${OUT}/${PATTERN})
list(LENGTH made count)
if(count LESS MIN)
  message(FATAL_ERROR "${TOOL} wrote only ${count} files, expected at least ${MIN}")
endif()

set(stale "")
foreach(f IN LISTS made)
  set(committed ${ASSETS}/${f})
  if(DOCS AND f IN_LIST DOC_FILES)
    set(committed ${DOCS}/${f})
  endif()
  execute_process(COMMAND ${CMAKE_COMMAND} -E compare_files ${OUT}/${f} ${committed}
                  RESULT_VARIABLE differs OUTPUT_QUIET ERROR_QUIET)
  if(NOT differs EQUAL 0)
    list(APPEND stale ${f})
  endif()
endforeach()
if(stale)
  message(FATAL_ERROR "committed files differ from what ${TOOL} makes: ${stale}\n"
                      "Run ${TOOL} into a folder, copy the files into assets/ (and docs/), commit.")
endif()
message(STATUS "all ${count} files match the committed ones")
