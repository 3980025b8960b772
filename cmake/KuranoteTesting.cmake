# One call adds a Qt Test suite, registers it with CTest and runs it headless. Under an emulator (Wine, for the
# Windows build) a suite that starts real processes again and again takes several times as long.
if(CMAKE_CROSSCOMPILING_EMULATOR)
    set(kuranote_test_timeout 400)
else()
    set(kuranote_test_timeout 120)
endif()

function(kuranote_add_test name)
    cmake_parse_arguments(ARG "" "" "SOURCES;LIBS" ${ARGN})
    add_executable(${name} ${ARG_SOURCES})
    target_link_libraries(${name} PRIVATE Qt6::Test ${ARG_LIBS})
    add_test(NAME ${name} COMMAND ${name})
    set_tests_properties(${name} PROPERTIES ENVIRONMENT "QT_QPA_PLATFORM=offscreen" TIMEOUT ${kuranote_test_timeout})
endfunction()
