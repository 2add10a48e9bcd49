# tl_add_library(<name> <sources...> [DEPS <targets...>])
# One static library per folder; every one links the shared flags target.
function(tl_add_library name)
    cmake_parse_arguments(ARG "" "" "DEPS" ${ARGN})
    add_library(${name} STATIC ${ARG_UNPARSED_ARGUMENTS})
    target_link_libraries(${name} PUBLIC tl_flags ${ARG_DEPS})
endfunction()

# tl_add_gtest(<name> <sources...> [DEPS <targets...>] [ENV <VAR=value...>])
# A GoogleTest executable registered with CTest test by test.
function(tl_add_gtest name)
    cmake_parse_arguments(ARG "" "" "DEPS;ENV" ${ARGN})
    add_executable(${name} ${ARG_UNPARSED_ARGUMENTS})
    target_link_libraries(${name} PRIVATE tl_flags tl_testsupport ${ARG_DEPS} GTest::gtest GTest::gmock GTest::gtest_main)
    gtest_discover_tests(${name}
        DISCOVERY_MODE PRE_TEST
        PROPERTIES TIMEOUT 120 ENVIRONMENT "${ARG_ENV}")
endfunction()
