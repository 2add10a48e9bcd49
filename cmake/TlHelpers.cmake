# tl_add_library(<name> <sources...> [DEPS <targets...>])
# One static library per folder; every one links the shared flags target.
function(tl_add_library name)
    cmake_parse_arguments(ARG "" "" "DEPS" ${ARGN})
    add_library(${name} STATIC ${ARG_UNPARSED_ARGUMENTS})
    target_link_libraries(${name} PUBLIC tl_flags ${ARG_DEPS})
endfunction()

# tl_add_gtest(<name> <sources...> [DEPS <targets...>] [ENV <VAR=value...>] [LABELS <labels...>])
# A GoogleTest executable registered with CTest test by test.
function(tl_add_gtest name)
    cmake_parse_arguments(ARG "" "" "DEPS;ENV;LABELS" ${ARGN})
    add_executable(${name} ${ARG_UNPARSED_ARGUMENTS})
    target_link_libraries(${name} PRIVATE tl_flags tl_testsupport ${ARG_DEPS} GTest::gtest GTest::gmock GTest::gtest_main)
    gtest_discover_tests(${name}
        DISCOVERY_MODE PRE_TEST
        PROPERTIES TIMEOUT 120 ENVIRONMENT "${ARG_ENV}" LABELS "${ARG_LABELS}")
endfunction()

# tl_stamp_version(<target> <a> <b> <c> <d>)
# Gives a Linux program that we publish as a product file the four-part file version a.b.c.d as
# an ELF note (platform/ElfVersionNote.h); the version reader returns it like the version resource
# of a Windows program.
function(tl_stamp_version target a b c d)
    foreach(part IN ITEMS ${a} ${b} ${c} ${d})
        if(NOT part MATCHES "^[0-9]+$" OR part GREATER 65535)
            message(FATAL_ERROR "tl_stamp_version(${target}): '${part}' is not a version part (0 to 65535)")
        endif()
    endforeach()
    set(source "${CMAKE_CURRENT_BINARY_DIR}/${target}_version_note.cpp")
    file(CONFIGURE OUTPUT "${source}" CONTENT [=[
// Made by tl_stamp_version: the version note of @target@, @a@.@b@.@c@.@d@.
#include "platform/ElfVersionNote.h"

namespace {

struct VersionNote {
    std::uint32_t nameSize;
    std::uint32_t descSize;
    std::uint32_t type;
    char name[12];
    std::uint16_t parts[4];
};
static_assert(sizeof tl::kElfVersionNoteName <= sizeof VersionNote::name);
static_assert(sizeof VersionNote::parts == tl::kElfVersionNoteDescSize);

[[gnu::used, gnu::section(".note.tallymar.version"), gnu::aligned(4)]] const VersionNote theVersionNote = {
    sizeof tl::kElfVersionNoteName, tl::kElfVersionNoteDescSize, tl::kElfVersionNoteType, "Tallymar",
    {@a@, @b@, @c@, @d@}};

} // namespace
]=] @ONLY)
    target_sources(${target} PRIVATE "${source}")
    target_link_libraries(${target} PRIVATE tl_flags)
endfunction()
