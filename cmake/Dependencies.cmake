# TinyXML and zlib. zlib comes from Debian's -dev packages (mingw's for Windows). TinyXML is
# compiled by every build from Debian's own tinyxml source package with patches/tinyxml-guards.patch
# applied (fetched by scripts/fetch-tinyxml.sh), so every module, test, fuzz and benchmark build
# runs the same bounded parser, instrumented along with the rest under the sanitizers.
if(WIN32)
    # The module must not import zlib1.dll: link libz.a, never the import library libz.dll.a.
    set(ZLIB_USE_STATIC_LIBS ON)
endif()
find_package(ZLIB REQUIRED)

set(QUILLET_TINYXML_SOURCE "${CMAKE_SOURCE_DIR}/third_party/tinyxml" CACHE PATH
    "Unpacked Debian tinyxml source package, patched")
if(NOT EXISTS "${QUILLET_TINYXML_SOURCE}/tinyxml.cpp")
    message(FATAL_ERROR "No tinyxml source in ${QUILLET_TINYXML_SOURCE}: "
                        "run scripts/fetch-tinyxml.sh (every make build target does)")
endif()
# The objects of Debian's libtinyxml.a: with TIXML_USE_STL, tinystr.cpp is not part of it.
add_library(quillet_tinyxml STATIC
    ${QUILLET_TINYXML_SOURCE}/tinyxml.cpp ${QUILLET_TINYXML_SOURCE}/tinyxmlparser.cpp
    ${QUILLET_TINYXML_SOURCE}/tinyxmlerror.cpp)
target_include_directories(quillet_tinyxml SYSTEM PUBLIC ${QUILLET_TINYXML_SOURCE})
target_compile_definitions(quillet_tinyxml PUBLIC TIXML_USE_STL)
add_library(quillet::tinyxml ALIAS quillet_tinyxml)
