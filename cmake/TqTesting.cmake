# tq_add_test(<name> [SOURCES a.cpp ...] [LIBS ...] [LABELS ...])
# One QtTest executable registered with CTest. Without SOURCES the source is <name>.cpp.

if(TQ_PCH)
    # Qt's test module defines each test's own folders (for QFINDTESTDATA) on its compile
    # line, which would keep each test folder from the shared precompiled header
    # (TqBuildSpeed.cmake). The tests find their data through TQ_CORPORA (below) and
    # definitions of their own instead.
    set_property(TARGET Qt6::Test PROPERTY INTERFACE_COMPILE_DEFINITIONS QT_TESTLIB_LIB)
endif()

# TQ_CORPORA: the folder of the public corpora some tests read in place (vast/: IAB VAST
# samples, cbor/: RFC 8949 vectors, json/: JSONTestSuite, images/: PngSuite). Given with
# -DTQ_CORPORA=<folder> or in the environment at the first configuration; otherwise the
# first "shared/corpora" found beside the checkout or in a folder above it. Without it the
# tests that read a corpus skip that group and say what they skipped.
if(NOT DEFINED CACHE{TQ_CORPORA})
    set(corpora "$ENV{TQ_CORPORA}")
    if(NOT corpora)
        get_filename_component(dir "${PROJECT_SOURCE_DIR}" DIRECTORY)
        while(NOT corpora)
            if(IS_DIRECTORY "${dir}/shared/corpora")
                set(corpora "${dir}/shared/corpora")
            endif()
            get_filename_component(parent "${dir}" DIRECTORY)
            if(parent STREQUAL dir)
                break()
            endif()
            set(dir "${parent}")
        endwhile()
    endif()
    set(TQ_CORPORA "${corpora}" CACHE PATH "Folder of the public corpora the tests read in place (empty: those groups skip)")
endif()
set(corpora_found "")
foreach(corpus vast cbor json images)
    if(TQ_CORPORA AND IS_DIRECTORY "${TQ_CORPORA}/${corpus}")
        list(APPEND corpora_found ${corpus})
    endif()
endforeach()
if(corpora_found)
    list(JOIN corpora_found ", " corpora_found)
    message(STATUS "TQ_CORPORA: ${TQ_CORPORA} (${corpora_found})")
else()
    message(STATUS "TQ_CORPORA: no corpora found; the corpus groups of the tests will skip (-DTQ_CORPORA=<folder>)")
endif()

function(tq_add_test name)
    cmake_parse_arguments(T "" "" "SOURCES;LIBS;LABELS" ${ARGN})
    if(NOT T_SOURCES)
        set(T_SOURCES ${name}.cpp)
    endif()
    add_executable(${name} ${T_SOURCES})
    target_link_libraries(${name} PRIVATE tqapi_internal Qt6::Test ${T_LIBS})
    # Header-only helpers of the test bed (fixtures) need no link to it.
    target_include_directories(${name} PRIVATE ${PROJECT_SOURCE_DIR}/testing)
    add_test(NAME ${name} COMMAND ${name})
    set(environment QT_QPA_PLATFORM=offscreen TQAPI_LOG_LEVEL=5 TQ_CORPORA=${TQ_CORPORA})
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
