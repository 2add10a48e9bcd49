# The Debian package tallymar-setup (scripts/package.sh builds it with cpack): the commands with
# their manual pages, tlinstall's desktop entry and icon, the licence and the changelog. The
# dependencies on shared libraries are found by dpkg-shlibdeps.
include(GNUInstallDirs)

set(TL_PACKAGE_NAME tallymar-setup)
set(TL_PACKAGE_SOURCE "${PROJECT_SOURCE_DIR}/packaging")
set(TL_PACKAGE_BUILD "${PROJECT_BINARY_DIR}/packaging")
set(TL_PACKAGE_DOC "${CMAKE_INSTALL_DATADIR}/doc/${TL_PACKAGE_NAME}")

# Debian keeps manual pages and changelogs compressed, without a time stamp in the gzip header.
find_program(TL_GZIP gzip REQUIRED)
set(TL_PACKAGE_COMPRESSED "")
function(tl_package_gzip source output destination)
    add_custom_command(OUTPUT "${output}"
        COMMAND "${TL_GZIP}" -9 -n -c "${source}" > "${output}"
        DEPENDS "${source}" VERBATIM)
    set(TL_PACKAGE_COMPRESSED ${TL_PACKAGE_COMPRESSED} "${output}" PARENT_SCOPE)
    install(FILES "${output}" DESTINATION "${destination}")
endfunction()

# The commands of the package, one line each: the program and its manual page packaging/man/<name>.1.
# A command whose target this configuration does not build (tlinstall without TL_BUILD_GUI) is left out.
set(TL_PACKAGE_COMMANDS
    tlinstall
    tlpublish
    tlserve)
foreach(command IN LISTS TL_PACKAGE_COMMANDS)
    if(NOT TARGET ${command})
        continue()
    endif()
    install(TARGETS ${command} RUNTIME DESTINATION "${CMAKE_INSTALL_BINDIR}")
    tl_package_gzip("${TL_PACKAGE_SOURCE}/man/${command}.1" "${TL_PACKAGE_BUILD}/${command}.1.gz"
                    "${CMAKE_INSTALL_MANDIR}/man1")
endforeach()

if(TARGET tlinstall)
    install(FILES "${TL_PACKAGE_SOURCE}/${TL_PACKAGE_NAME}.desktop" DESTINATION "${CMAKE_INSTALL_DATADIR}/applications")
    install(FILES "${TL_PACKAGE_SOURCE}/${TL_PACKAGE_NAME}.svg"
            DESTINATION "${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps")
endif()

# The licence agreement that tlinstall shows is the package's licence.
file(READ "${PROJECT_SOURCE_DIR}/resources/LicenseText.txt" TL_LICENSE_TEXT)
configure_file("${TL_PACKAGE_SOURCE}/copyright.in" "${TL_PACKAGE_BUILD}/copyright" @ONLY)
install(FILES "${TL_PACKAGE_BUILD}/copyright" DESTINATION "${TL_PACKAGE_DOC}")
configure_file("${TL_PACKAGE_SOURCE}/changelog.in" "${TL_PACKAGE_BUILD}/changelog" @ONLY)
tl_package_gzip("${TL_PACKAGE_BUILD}/changelog" "${TL_PACKAGE_BUILD}/changelog.gz" "${TL_PACKAGE_DOC}")
add_custom_target(tl_package_files ALL DEPENDS ${TL_PACKAGE_COMPRESSED})

execute_process(COMMAND dpkg --print-architecture OUTPUT_VARIABLE TL_DEB_ARCHITECTURE
                OUTPUT_STRIP_TRAILING_WHITESPACE ERROR_QUIET)
if(NOT TL_DEB_ARCHITECTURE)
    set(TL_DEB_ARCHITECTURE amd64)
endif()

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME ${TL_PACKAGE_NAME})
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_VENDOR "Fenmore Software")
set(CPACK_PACKAGE_CONTACT "Fenmore Software <support@fenmoresoftware.com>")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_INSTALL_DEFAULT_DIRECTORY_PERMISSIONS
    OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ GROUP_EXECUTE WORLD_READ WORLD_EXECUTE)
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "setup and update program of Tallymar")
# CPack puts the summary above these lines, as the synopsis.
set(CPACK_DEBIAN_PACKAGE_DESCRIPTION
    "Tallymar is a bankruptcy petition-preparation and case-management product for
law firms. tlinstall installs it from the vendor's file server, with the firm's
shared databases, home directory, network share and user, or updates an
installation. tlpublish turns a release folder into what the file server
serves, and tlserve serves it over HTTP for demonstrations and tests.")
set(CPACK_DEBIAN_FILE_NAME "${TL_PACKAGE_NAME}_${PROJECT_VERSION}_${TL_DEB_ARCHITECTURE}.deb")
set(CPACK_DEBIAN_PACKAGE_ARCHITECTURE ${TL_DEB_ARCHITECTURE})
set(CPACK_DEBIAN_PACKAGE_SECTION utils)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# Qt draws letters only with a font at hand; the offscreen platform finds none by itself.
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "fonts-dejavu-core")
set(CPACK_DEBIAN_COMPRESSION_TYPE xz)
set(CPACK_OUTPUT_FILE_PREFIX "${PROJECT_BINARY_DIR}/package")
include(CPack)
