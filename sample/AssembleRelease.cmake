# Assembles one version of the sample release: cmake -DOUTPUT=<folder> -DLIST=<file> -P this.
# Each line of LIST is "<name>|<source>|<time>": the file is copied to <folder>/<name> and gets the
# modification time <time> (UTC), so that the same sources always publish the same bytes. The
# folder is made anew; the release description (name release.ini) is copied like any other file.
file(REMOVE_RECURSE "${OUTPUT}")
file(MAKE_DIRECTORY "${OUTPUT}")
file(STRINGS "${LIST}" entries)
foreach(entry IN LISTS entries)
    string(REPLACE "|" ";" fields "${entry}")
    list(GET fields 0 name)
    list(GET fields 1 source)
    list(GET fields 2 time)
    file(COPY_FILE "${source}" "${OUTPUT}/${name}")
    execute_process(COMMAND touch -m -d "${time}" "${OUTPUT}/${name}" RESULT_VARIABLE failed)
    if(failed)
        message(FATAL_ERROR "cannot set the time of ${OUTPUT}/${name}")
    endif()
endforeach()
