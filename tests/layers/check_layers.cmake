# Checks that no object of the given libraries was compiled from a header of Qt Gui or Qt Widgets, in whatever
# form it was included: the compiler's own dependency records name every header it read. Ninja keeps them in
# its log (ninja -t deps); the Makefile generators leave them beside each object (<object>.d).
#
#   cmake -DBUILD_DIR=... -DGENERATOR=... -DMAKE_PROGRAM=... -DOBJECT_DIRS=dir1,dir2 [-DPROBE_TARGET=t]
#         -P check_layers.cmake
#
# With PROBE_TARGET, the target is built first and the check must find it out: that proves the check can trip.
cmake_minimum_required(VERSION 3.21)

if(PROBE_TARGET)
    execute_process(COMMAND ${CMAKE_COMMAND} --build ${BUILD_DIR} --target ${PROBE_TARGET}
        RESULT_VARIABLE built OUTPUT_VARIABLE log ERROR_VARIABLE log)
    if(NOT built EQUAL 0)
        message(FATAL_ERROR "the probe ${PROBE_TARGET} did not build:\n${log}")
    endif()
endif()

string(REPLACE "," ";" object_dirs "${OBJECT_DIRS}")
set(checked 0)
set(found "")
foreach(dir IN LISTS object_dirs)
    file(GLOB_RECURSE objects LIST_DIRECTORIES false "${dir}/*.o" "${dir}/*.obj")
    if(NOT objects)
        message(FATAL_ERROR "no object in ${dir}: build before checking")
    endif()
    foreach(object IN LISTS objects)
        if(GENERATOR MATCHES "Ninja")
            file(RELATIVE_PATH relative "${BUILD_DIR}" "${object}")
            execute_process(COMMAND ${MAKE_PROGRAM} -C ${BUILD_DIR} -t deps ${relative}
                OUTPUT_VARIABLE headers RESULT_VARIABLE result)
        elseif(EXISTS "${object}.d")
            file(READ "${object}.d" headers)
        else()
            set(headers "")
        endif()
        # Every object names at least its own source; a record without one means the check sees nothing.
        if(NOT headers MATCHES "[.]cpp")
            message(FATAL_ERROR "no dependency record for ${object}")
        endif()
        string(REGEX MATCHALL "[^ \t\r\n\\\\:]*[/\\\\]Qt(Gui|Widgets)[/\\\\][^ \t\r\n\\\\]*" gui_headers "${headers}")
        if(gui_headers)
            list(GET gui_headers 0 first)
            string(APPEND found "  ${object}: ${first}\n")
        endif()
        math(EXPR checked "${checked} + 1")
    endforeach()
endforeach()

if(PROBE_TARGET)
    if(NOT found MATCHES "QtWidgets")
        message(FATAL_ERROR "the check did not find the widget header the probe includes")
    endif()
    message(STATUS "the probe's widget header was found:\n${found}")
elseif(found)
    message(FATAL_ERROR "objects of Qt Core libraries read headers of Qt Gui or Qt Widgets:\n${found}")
else()
    message(STATUS "${checked} objects of Qt Core libraries read no header of Qt Gui or Qt Widgets")
endif()
