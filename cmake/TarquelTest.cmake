# add_tarquel_test(name SOURCES ... LIBS ... LABELS ... [TIMEOUT s])
# Builds one GoogleTest executable and registers it with ctest. GUI tests run on the offscreen
# platform so they need no display; backups and records go to a folder of the build tree, never
# to the user's own data folder.
function(add_tarquel_test name)
    cmake_parse_arguments(ARG "" "TIMEOUT" "SOURCES;LIBS;LABELS" ${ARGN})
    tarquel_sources_missing(missing ${name} ${ARG_SOURCES})
    if(missing)
        return()
    endif()
    add_executable(${name} ${ARG_SOURCES})
    target_link_libraries(${name} PRIVATE ${ARG_LIBS} GTest::gtest GTest::gmock tarquel_testsupport)
    tarquel_target_defaults(${name})
    if(NOT ARG_TIMEOUT)
        set(ARG_TIMEOUT 120)
    endif()
    add_test(NAME ${name} COMMAND ${name})
    set_tests_properties(${name} PROPERTIES
        LABELS "${ARG_LABELS}"
        TIMEOUT ${ARG_TIMEOUT}
        ENVIRONMENT "QT_QPA_PLATFORM=offscreen;TARQUEL_BIN_DIR=${PROJECT_BINARY_DIR}/src;TARQUEL_DATA_DIR=${PROJECT_BINARY_DIR}/test-data/${name}")
endfunction()
