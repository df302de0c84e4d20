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
