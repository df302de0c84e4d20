# TinyXML and zlib. On Linux both come from Debian's -dev packages; the Windows build compiles
# Debian's own tinyxml source package (fetched by scripts/bootstrap-windows.sh) so both modules
# run the same parser with the same options. The fuzz build compiles that source too, so that
# the parser is instrumented along with the readers.
if(WIN32)
    # The module must not import zlib1.dll: link libz.a, never the import library libz.dll.a.
    set(ZLIB_USE_STATIC_LIBS ON)
endif()
find_package(ZLIB REQUIRED)

if(WIN32 OR QUILLET_FUZZ)
    set(QUILLET_TINYXML_SOURCE "${CMAKE_SOURCE_DIR}/third_party/tinyxml" CACHE PATH
        "Unpacked Debian tinyxml source package")
    if(NOT EXISTS "${QUILLET_TINYXML_SOURCE}/tinyxml.cpp")
        message(FATAL_ERROR "No tinyxml source in ${QUILLET_TINYXML_SOURCE}: "
                            "run scripts/bootstrap-windows.sh (make build-windows and make fuzz do)")
    endif()
    # The objects of Debian's libtinyxml.a: with TIXML_USE_STL, tinystr.cpp is not part of it.
    add_library(quillet_tinyxml STATIC
        ${QUILLET_TINYXML_SOURCE}/tinyxml.cpp ${QUILLET_TINYXML_SOURCE}/tinyxmlparser.cpp
        ${QUILLET_TINYXML_SOURCE}/tinyxmlerror.cpp)
    target_include_directories(quillet_tinyxml SYSTEM PUBLIC ${QUILLET_TINYXML_SOURCE})
    target_compile_definitions(quillet_tinyxml PUBLIC TIXML_USE_STL)
    add_library(quillet::tinyxml ALIAS quillet_tinyxml)
else()
    find_path(TINYXML_INCLUDE_DIR tinyxml.h REQUIRED)
    find_library(TINYXML_LIBRARY NAMES tinyxml REQUIRED)
    add_library(quillet::tinyxml UNKNOWN IMPORTED)
    set_target_properties(quillet::tinyxml PROPERTIES
        IMPORTED_LOCATION ${TINYXML_LIBRARY}
        INTERFACE_INCLUDE_DIRECTORIES ${TINYXML_INCLUDE_DIR}
        INTERFACE_COMPILE_DEFINITIONS TIXML_USE_STL)
endif()
