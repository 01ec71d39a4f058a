# SPDX-License-Identifier: GPL-3.0-or-later
# After a Qt Test program is built: lists its test functions (PROGRAM -functions) and writes OUT, which
# registers each function as a CTest test of its own, PREFIX.function, run on the offscreen platform.
# Run with: cmake -DPROGRAM=... -DPREFIX=... -DOUT=... -P qtest_functions.cmake
execute_process(COMMAND ${CMAKE_COMMAND} -E env QT_QPA_PLATFORM=offscreen ${PROGRAM} -functions
                OUTPUT_VARIABLE listed ERROR_VARIABLE errors RESULT_VARIABLE status)
if(NOT status EQUAL 0)
    message(FATAL_ERROR "${PROGRAM} -functions failed (${status}): ${errors}")
endif()
set(tests "")
string(REPLACE "\n" ";" lines "${listed}")
foreach(line IN LISTS lines)
    if(line MATCHES "^([A-Za-z_][A-Za-z0-9_]*)\\(\\)$")
        set(function ${CMAKE_MATCH_1})
        string(APPEND tests "add_test([=[${PREFIX}.${function}]=] [==[${PROGRAM}]==] ${function})\n"
                            "set_tests_properties([=[${PREFIX}.${function}]=] PROPERTIES "
                            "ENVIRONMENT QT_QPA_PLATFORM=offscreen)\n")
    endif()
endforeach()
if(tests STREQUAL "")
    message(FATAL_ERROR "${PROGRAM} -functions listed no test function")
endif()
file(WRITE "${OUT}" "${tests}")
