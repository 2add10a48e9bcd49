# Runs the layer check on a tree of deliberately wrong includes (tests/data/layers/wrong-way) and
# expects it to fail with exactly the reports of wrong-way.expected, in order.
# Usage: cmake -DCHECKER=<CheckLayers.cmake> -DLAYER_TABLE=<written table> -DFIXTURE=<tree> -P ...
cmake_minimum_required(VERSION 3.25)
execute_process(
    COMMAND ${CMAKE_COMMAND} -DSOURCE_DIR=${FIXTURE} -DLAYER_TABLE=${LAYER_TABLE} -P ${CHECKER}
    RESULT_VARIABLE result OUTPUT_VARIABLE output ERROR_VARIABLE errors)
if(result EQUAL 0)
    message(FATAL_ERROR "The layer check passed a tree of wrong includes:\n${errors}")
endif()
string(REGEX MATCHALL "[^\n]*:[0-9]+: [^\n]*" reported "${errors}")
file(STRINGS "${FIXTURE}.expected" expected)
if(NOT reported STREQUAL expected)
    list(JOIN reported "\n" reported_text)
    list(JOIN expected "\n" expected_text)
    message(FATAL_ERROR "Reported:\n${reported_text}\nExpected:\n${expected_text}")
endif()
