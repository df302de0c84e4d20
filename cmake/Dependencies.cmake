# TinyXML and zlib. zlib comes from Debian's -dev packages (mingw's for Windows). TinyXML is
# compiled by every build from Debian's own tinyxml source package with patches/tinyxml-guards.patch
# applied (fetched by scripts/fetch-tinyxml.sh), so every module, test, fuzz and benchmark build
# runs the same bounded parser, instrumented along with the rest under the sanitizers.
if(WIN32)
    # The module must not import zlib1.dll: link libz.a, never the import library libz.dll.a.
    set(ZLIB_USE_STATIC_LIBS ON)
endif()
if(QUILLET_TSAN)
    # ThreadSanitizer must see zlib's own accesses: Debian's zlib source (fetched by
    # scripts/fetch-zlib.sh), compiled with the rest, stands in for the system library.
    set(QUILLET_ZLIB_SOURCE "${CMAKE_SOURCE_DIR}/third_party/zlib" CACHE PATH
        "Unpacked Debian zlib source package")
    if(NOT EXISTS "${QUILLET_ZLIB_SOURCE}/inflate.c")
        message(FATAL_ERROR "No zlib source in ${QUILLET_ZLIB_SOURCE}: run scripts/fetch-zlib.sh")
    endif()
    set(QUILLET_ZLIB_FILES adler32 compress crc32 deflate inffast inflate inftrees trees uncompr
                           zutil)
    list(TRANSFORM QUILLET_ZLIB_FILES PREPEND "${QUILLET_ZLIB_SOURCE}/")
    list(TRANSFORM QUILLET_ZLIB_FILES APPEND ".c")
    add_library(quillet_zlib STATIC ${QUILLET_ZLIB_FILES})
    target_include_directories(quillet_zlib SYSTEM PUBLIC ${QUILLET_ZLIB_SOURCE})
    add_library(ZLIB::ZLIB ALIAS quillet_zlib)
else()
    find_package(ZLIB REQUIRED)
endif()

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

# Debian's tinyxml as Debian ships it, without our patches (third_party/tinyxml-debian, left
# there by scripts/fetch-tinyxml.sh): the differential tests parse every input with both. Its
# classes live in the namespace debian_tinyxml (tests/tinyxml/DebianTinyXml.cpp), and its
# headers are seen by that file alone, so the two copies link into one binary.
set(QUILLET_TINYXML_DEBIAN_SOURCE "${CMAKE_SOURCE_DIR}/third_party/tinyxml-debian" CACHE PATH
    "Unpacked Debian tinyxml source package, unpatched")
if(NOT WIN32 AND NOT QUILLET_TSAN AND EXISTS "${QUILLET_TINYXML_DEBIAN_SOURCE}/tinyxml.cpp")
    add_library(quillet_tinyxml_debian STATIC ${CMAKE_SOURCE_DIR}/tests/tinyxml/DebianTinyXml.cpp)
    target_include_directories(quillet_tinyxml_debian PRIVATE ${QUILLET_TINYXML_DEBIAN_SOURCE}
                                                              ${CMAKE_SOURCE_DIR}/tests)
    target_compile_definitions(quillet_tinyxml_debian PRIVATE TIXML_USE_STL)
    add_library(quillet_tinyxml_diff STATIC ${CMAKE_SOURCE_DIR}/tests/tinyxml/PatchedTinyXml.cpp
                                            ${CMAKE_SOURCE_DIR}/tests/tinyxml/TinyXmlDiff.cpp)
    target_include_directories(quillet_tinyxml_diff PUBLIC ${CMAKE_SOURCE_DIR}/tests)
    target_compile_options(quillet_tinyxml_diff PRIVATE ${QUILLET_WARNINGS})
    target_link_libraries(quillet_tinyxml_diff PUBLIC quillet::tinyxml quillet_tinyxml_debian)
endif()
