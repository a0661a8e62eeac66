# The installed package: headers, the shared library, the CMake package TqApi and the
# pkg-config file tqapi. A host consumes it as
#     find_package(TqApi 1.0 REQUIRED)
#     target_link_libraries(host PRIVATE TqApi::tqapi)
# or with `pkg-config --cflags --libs tqapi`.
include(CMakePackageConfigHelpers)

set(TQ_PACKAGE_CMAKE_DIR ${CMAKE_INSTALL_LIBDIR}/cmake/TqApi)

# A path below the prefix, as pkg-config sees it from <libdir>/pkgconfig (relocatable).
function(tq_pc_path out dir)
    if(IS_ABSOLUTE "${dir}")
        set(${out} "${dir}" PARENT_SCOPE)
    else()
        set(${out} "\${prefix}/${dir}" PARENT_SCOPE)
    endif()
endfunction()

# tq_install_library(<target> <header root> <headers...>): the headers keep their folders
# below <prefix>/include/tqapi, the include root of the installed target.
function(tq_install_library target root)
    foreach(header ${ARGN})
        file(RELATIVE_PATH relative ${root} ${header})
        get_filename_component(folder ${relative} DIRECTORY)
        install(FILES ${header} DESTINATION ${CMAKE_INSTALL_INCLUDEDIR}/tqapi/${folder} COMPONENT Development)
    endforeach()

    install(TARGETS ${target} EXPORT TqApiTargets
        LIBRARY DESTINATION ${CMAKE_INSTALL_LIBDIR} COMPONENT Runtime NAMELINK_COMPONENT Development)
    install(EXPORT TqApiTargets NAMESPACE TqApi:: DESTINATION ${TQ_PACKAGE_CMAKE_DIR} COMPONENT Development)

    list(JOIN TQ_QT_COMPONENTS " " TQ_QT_COMPONENT_LIST)
    configure_package_config_file(${PROJECT_SOURCE_DIR}/cmake/TqApiConfig.cmake.in
        ${PROJECT_BINARY_DIR}/package/TqApiConfig.cmake INSTALL_DESTINATION ${TQ_PACKAGE_CMAKE_DIR})
    write_basic_package_version_file(${PROJECT_BINARY_DIR}/package/TqApiConfigVersion.cmake
        VERSION ${PROJECT_VERSION} COMPATIBILITY SameMajorVersion)
    install(FILES ${PROJECT_BINARY_DIR}/package/TqApiConfig.cmake ${PROJECT_BINARY_DIR}/package/TqApiConfigVersion.cmake
        DESTINATION ${TQ_PACKAGE_CMAKE_DIR} COMPONENT Development)

    # pkg-config: the prefix is found from the file's own place, so the tree can be moved.
    if(IS_ABSOLUTE "${CMAKE_INSTALL_LIBDIR}")
        set(TQ_PC_PREFIX "${CMAKE_INSTALL_PREFIX}")
    else()
        file(RELATIVE_PATH up /root/${CMAKE_INSTALL_LIBDIR}/pkgconfig /root)
        string(REGEX REPLACE "/$" "" up "${up}")
        set(TQ_PC_PREFIX "\${pcfiledir}/${up}")
    endif()
    tq_pc_path(TQ_PC_INCLUDEDIR ${CMAKE_INSTALL_INCLUDEDIR})
    tq_pc_path(TQ_PC_LIBDIR ${CMAKE_INSTALL_LIBDIR})
    list(TRANSFORM TQ_QT_COMPONENTS PREPEND "Qt6" OUTPUT_VARIABLE qt_modules)
    list(JOIN qt_modules " " TQ_PC_REQUIRES)
    configure_file(${PROJECT_SOURCE_DIR}/cmake/tqapi.pc.in ${PROJECT_BINARY_DIR}/package/tqapi.pc @ONLY)
    install(FILES ${PROJECT_BINARY_DIR}/package/tqapi.pc
        DESTINATION ${CMAKE_INSTALL_LIBDIR}/pkgconfig COMPONENT Development)
endfunction()

# tq_check_headers(<target> <header root> <headers...>): each public header compiles on its
# own, included first (and twice) in a translation unit of its own, without any warning.
function(tq_check_headers target root)
    if(TQ_SANITIZE OR TQ_BUILD_FUZZ)
        return() # the plain build checks them; instrumentation finds nothing more here
    endif()
    set(units)
    foreach(header ${ARGN})
        file(RELATIVE_PATH relative ${root} ${header})
        # An installed header cannot reach a private one.
        file(STRINGS ${header} private REGEX "^[ \t]*#[ \t]*include[ \t]*[\"<][^\">]*_p\\.h[\">]")
        if(private)
            message(SEND_ERROR "public header ${relative} includes a private header: ${private}")
        endif()
        set(unit ${CMAKE_CURRENT_BINARY_DIR}/headercheck/${relative}.cpp)
        file(CONFIGURE OUTPUT ${unit} CONTENT "#include \"${relative}\"\n#include \"${relative}\"\n")
        list(APPEND units ${unit})
    endforeach()
    add_library(${target}_headercheck OBJECT ${units})
    target_link_libraries(${target}_headercheck PRIVATE ${target})
    target_compile_options(${target}_headercheck PRIVATE -Wall -Wextra -Werror)
    # Each header comes first in its unit: no precompiled header in front of it.
    set_target_properties(${target}_headercheck PROPERTIES AUTOMOC OFF TQ_NO_PCH ON)
endfunction()
