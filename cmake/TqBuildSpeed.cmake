# Build time. Qt's headers are a good part of what each translation unit compiles, so they
# are precompiled twice per build: once for the library (tq_precompile_qt), once for every
# other target that builds on Qt, which reuse one header at the end of the configuration
# (the test bed, the tests, the programs; a new target needs nothing).
#
# GCC only: it takes a precompiled header only where the compile line defines the macros the
# header was made with (extra ones are fine), and quietly compiles without it otherwise,
# which -Winvalid-pch reports. Clang makes such a mismatch an error.

if(TQ_PCH AND NOT CMAKE_CXX_COMPILER_ID STREQUAL "GNU")
    set(TQ_PCH OFF)
endif()

# The library's own units use these.
set(TQ_PCH_LIBRARY_HEADERS
    <QByteArray> <QCoreApplication> <QDateTime> <QHash> <QJsonArray> <QJsonDocument> <QJsonObject>
    <QJsonValue> <QList> <QMetaType> <QObject> <QPointer> <QSharedPointer> <QString> <QStringList>
    <QTimer> <QUrl> <QVariant> <QNetworkAccessManager> <QNetworkReply> <QNetworkRequest>
    <functional> <memory> <optional> <utility>)
# The tests include <QtTest>, which brings all of QtCore. QtTest itself stays out: its
# headers test QT_TESTCASE_* macros, which Qt defines per test folder.
set(TQ_PCH_SHARED_HEADERS ${TQ_PCH_LIBRARY_HEADERS} <QtCore/QtCore> <QColor> <QImage> <QTcpServer> <QTcpSocket>)

# tq_precompile_qt(<target>): the library's precompiled header.
function(tq_precompile_qt target)
    if(TQ_PCH)
        target_precompile_headers(${target} PRIVATE ${TQ_PCH_LIBRARY_HEADERS})
    endif()
endfunction()

function(tq_collect_targets dir out)
    get_property(targets DIRECTORY ${dir} PROPERTY BUILDSYSTEM_TARGETS)
    get_property(subdirs DIRECTORY ${dir} PROPERTY SUBDIRECTORIES)
    foreach(sub ${subdirs})
        tq_collect_targets(${sub} more)
        list(APPEND targets ${more})
    endforeach()
    set(${out} ${targets} PARENT_SCOPE)
endfunction()

# Runs once every folder is configured: every target that links Qt, the library or the test
# bed, and has no precompiled header of its own, reuses the shared one.
function(tq_share_precompiled_qt)
    set(holder tqpch)
    file(CONFIGURE OUTPUT ${PROJECT_BINARY_DIR}/${holder}.cpp CONTENT "int main() { return 0; }\n")
    add_executable(${holder} ${PROJECT_BINARY_DIR}/${holder}.cpp)
    # Only what every user defines too: the Qt modules the library links.
    list(TRANSFORM TQ_QT_COMPONENTS PREPEND "Qt6::" OUTPUT_VARIABLE qt_targets)
    target_link_libraries(${holder} PRIVATE ${qt_targets})
    set_target_properties(${holder} PROPERTIES AUTOMOC OFF)
    target_precompile_headers(${holder} PRIVATE ${TQ_PCH_SHARED_HEADERS})

    tq_collect_targets(${PROJECT_SOURCE_DIR} targets)
    foreach(target ${targets})
        get_target_property(type ${target} TYPE)
        if(NOT type MATCHES "^(EXECUTABLE|STATIC_LIBRARY|SHARED_LIBRARY|MODULE_LIBRARY|OBJECT_LIBRARY)$"
           OR target STREQUAL holder)
            continue()
        endif()
        get_target_property(own ${target} PRECOMPILE_HEADERS)
        get_target_property(reused ${target} PRECOMPILE_HEADERS_REUSE_FROM)
        get_target_property(skip ${target} TQ_NO_PCH)
        get_target_property(links ${target} LINK_LIBRARIES)
        if(own OR reused OR skip OR NOT "${links}" MATCHES "(^|;)(tqapi|tqapi::tqapi|TqApi::tqapi|tqapi_internal|tqtesting|Qt6::[A-Za-z]+)(;|$)")
            continue()
        endif()
        target_precompile_headers(${target} REUSE_FROM ${holder})
    endforeach()
endfunction()

if(TQ_PCH)
    cmake_language(DEFER DIRECTORY ${PROJECT_SOURCE_DIR} CALL tq_share_precompiled_qt)
endif()

if(TQ_PCH AND CMAKE_CXX_COMPILER_LAUNCHER MATCHES "ccache")
    # ccache caches compilations that use a precompiled header only when told that the
    # header's macros and time stamps may be trusted; without this every such compile misses.
    set(CMAKE_CXX_COMPILER_LAUNCHER
        ${CMAKE_COMMAND} -E env
        "CCACHE_SLOPPINESS=pch_defines,time_macros,include_file_mtime,include_file_ctime"
        ${CMAKE_CXX_COMPILER_LAUNCHER})
endif()
