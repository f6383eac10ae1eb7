# Test programs that talk to a real collector on loopback.
#
# A Windows program under Wine cannot easily start a Linux process, so CTest runs such a
# program through tools/collector/with_collector.py: the script starts the collector on a
# free 127.0.0.1 port, exports its URL, port and records file (LUMIVOX_COLLECTOR_URL,
# LUMIVOX_COLLECTOR_PORT, LUMIVOX_COLLECTOR_RECORDS) to the program, which Wine passes on,
# runs the program with Wine's 64-bit loader, and stops the collector when it ends.
# Run by hand without the script, the collector tests of such a program skip themselves.
find_package(Python3 REQUIRED COMPONENTS Interpreter)
# Cached, so that the function below sees them from any folder that calls it.
set(LUMIVOX_PYTHON3 ${Python3_EXECUTABLE} CACHE INTERNAL "")
set(LUMIVOX_COLLECTOR_RUNNER ${CMAKE_CURRENT_LIST_DIR}/with_collector.py CACHE INTERNAL "")

function(lumivox_collector_test_program name)
  cmake_parse_arguments(ARG "" "" "SOURCES;LIBRARIES" ${ARGN})
  add_executable(${name} ${ARG_SOURCES})
  target_link_libraries(${name} PRIVATE ${ARG_LIBRARIES} lumivox_test_support gtest_main)
  target_link_options(${name} PRIVATE -mconsole)
  add_test(NAME ${name}
    COMMAND ${LUMIVOX_PYTHON3} ${LUMIVOX_COLLECTOR_RUNNER} --timeout 570 --wine ${CMAKE_CROSSCOMPILING_EMULATOR}
      -- $<TARGET_FILE:${name}>)
  set_tests_properties(${name} PROPERTIES TIMEOUT 600)
endfunction()
