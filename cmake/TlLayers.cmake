# The layer table: which source folder may include which. A folder may include its own headers and
# those of every folder it uses, directly or through the folders they use; nothing else of ours.
# Qt may be included only in folders (or single files) marked QT. The test LayerTable
# (tests/CheckLayers.cmake) checks every #include "folder/..." of the tree against this table.
#
#   tl_layer(<folder> [USES <folders...>] [QT] [QT_FILES <files...>])
#
# A new folder adds its row here or calls tl_layer() from its own CMakeLists.txt; calling it again
# for a folder adds to its row. A test folder tests/<folder> may include what <folder> may
# include, the test support of those folders (tests/<used folder>/...) and tests/support/; its
# row adds what its tests use beyond that.
function(tl_layer folder)
    cmake_parse_arguments(ARG "QT" "" "USES;QT_FILES" ${ARGN})
    get_property(layers GLOBAL PROPERTY TL_LAYERS)
    if(NOT folder IN_LIST layers)
        set_property(GLOBAL APPEND PROPERTY TL_LAYERS ${folder})
    endif()
    set_property(GLOBAL APPEND PROPERTY TL_LAYER_USES_${folder} ${ARG_USES})
    set_property(GLOBAL APPEND PROPERTY TL_LAYER_QT_FILES_${folder} ${ARG_QT_FILES})
    if(ARG_QT)
        set_property(GLOBAL PROPERTY TL_LAYER_QT_${folder} ON)
    endif()
endfunction()

# Writes the table as a CMake script for the checker, once every folder has added its rows.
function(tl_write_layer_table file)
    get_property(layers GLOBAL PROPERTY TL_LAYERS)
    set(content "set(TL_LAYERS \"${layers}\")\n")
    foreach(folder IN LISTS layers)
        foreach(kind IN ITEMS USES QT_FILES QT)
            get_property(value GLOBAL PROPERTY TL_LAYER_${kind}_${folder})
            string(APPEND content "set(TL_LAYER_${kind}_${folder} \"${value}\")\n")
        endforeach()
    endforeach()
    file(CONFIGURE OUTPUT "${file}" CONTENT "${content}" @ONLY)
endfunction()

# Lowest first.
tl_layer(platform)
tl_layer(xml USES platform)
tl_layer(db USES platform)
tl_layer(crypto USES platform)
# The string table is engine text; the wizard's pictures and their bundle are Qt.
tl_layer(resources USES platform QT_FILES DrawArtwork.cpp ResourceBundle.cpp ResourceBundle.h)
tl_layer(tables USES xml db crypto resources)
tl_layer(app USES tables)
tl_layer(release USES app)
# Both sequences import the reference data that came with the product's files.
tl_layer(import USES release)
tl_layer(install USES release import)
tl_layer(update USES release import)
tl_layer(attorneys USES app QT)
tl_layer(wizard USES install update attorneys QT)
# The programs we ship besides tlinstall: each declares what it uses. The import proxy speaks the
# channel's protocol (import/ImportProtocol.h); the stand-ins for the product's programs hold the
# events that the update looks for (update/DuplicateRunCheck.h, update/EcfMonitorShutdown.h).
tl_layer(tools USES platform import update)
# The benchmarks measure the engine's hot paths, from the cipher to the update list.
tl_layer(benchmarks USES install update)

# Test support.
tl_layer(tests/support USES platform)
# The recordset and statement tests run on the product's record classes and schema.
tl_layer(tests/db USES tables)
# Tests that need a real main database make it as the first installation does.
tl_layer(tests/tables USES install)
# A failed first installation is finished by the next run, an update.
tl_layer(tests/install USES update)
# Updates start from prefixes that the first installation made.
tl_layer(tests/update USES install)
# The roster's dialogs are opened through the program's Qt user interface.
tl_layer(tests/attorneys USES install wizard)
