# tq_add_test(<name> [SOURCES a.cpp ...] [LIBS ...] [LABELS ...])
# One QtTest executable registered with CTest. Without SOURCES the source is <name>.cpp.

if(TQ_PCH)
    # Qt's test module defines each test's own folders (for QFINDTESTDATA) on its compile
    # line, which would keep each test folder from the shared precompiled header
    # (TqBuildSpeed.cmake). The tests find their data through TQ_CORPORA and definitions of
    # their own instead.
    set_property(TARGET Qt6::Test PROPERTY INTERFACE_COMPILE_DEFINITIONS QT_TESTLIB_LIB)
endif()

function(tq_add_test name)
    cmake_parse_arguments(T "" "" "SOURCES;LIBS;LABELS" ${ARGN})
    if(NOT T_SOURCES)
        set(T_SOURCES ${name}.cpp)
    endif()
    add_executable(${name} ${T_SOURCES})
    target_link_libraries(${name} PRIVATE tqapi::tqapi Qt6::Test ${T_LIBS})
    # Header-only helpers of the test bed (fixtures) need no link to it.
    target_include_directories(${name} PRIVATE ${PROJECT_SOURCE_DIR}/testing)
    add_test(NAME ${name} COMMAND ${name})
    set(environment QT_QPA_PLATFORM=offscreen TQAPI_LOG_LEVEL=5 TQ_CORPORA=${PROJECT_SOURCE_DIR}/../shared/corpora)
    if(CMAKE_CROSSCOMPILING_EMULATOR)
        # Tests that would start a program of the build machine skip under the emulator.
        list(GET CMAKE_CROSSCOMPILING_EMULATOR 0 emulator)
        get_filename_component(emulator ${emulator} NAME)
        list(APPEND environment TQ_EMULATOR=${emulator})
    endif()
    set_tests_properties(${name} PROPERTIES
        LABELS "${T_LABELS}"
        ENVIRONMENT "${environment}"
        TIMEOUT 300)
endfunction()
