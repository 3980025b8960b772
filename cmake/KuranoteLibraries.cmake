# Declares one of kuranote's libraries in the folder that holds its files, and records it for the layers check
# (tests/layers): a library reads headers only of its own folder and of the folders of the libraries it links.
# QT_CORE_ONLY marks a library that must not read a header of Qt Gui or Qt Widgets either.
function(kuranote_add_library name)
    cmake_parse_arguments(ARG "QT_CORE_ONLY" "" "" ${ARGN})
    add_library(${name} STATIC ${ARG_UNPARSED_ARGUMENTS})
    target_include_directories(${name} PUBLIC ${PROJECT_SOURCE_DIR})
    set_target_properties(${name} PROPERTIES KURANOTE_QT_CORE_ONLY ${ARG_QT_CORE_ONLY})
    set_property(GLOBAL APPEND PROPERTY KURANOTE_LIBRARIES ${name})
endfunction()
