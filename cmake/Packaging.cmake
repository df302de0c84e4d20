# What an installation holds, and the packages CPack makes of it (make package).
# Linux: a .deb and a .tar.gz of the same /usr tree. quillet-host finds its module in
# ../lib/quillet relative to its own folder, so bin/ and lib/quillet/ stay side by side.
# Windows: a zip with one folder, Quillet/, that goes where the file manager keeps its plug-ins.
set(QUILLET_PACKAGE_OUTPUT_DIR "${CMAKE_SOURCE_DIR}/build/packages" CACHE PATH
    "Folder that collects the packages of every build")
# CPack installs what `make package` built (the module, the host, its manual), without building
# everything, the tests included, first.
set(CMAKE_SKIP_INSTALL_ALL_DEPENDENCY ON)

if(WIN32)
    set(QUILLET_INSTALL_FOLDER Quillet)
    install(TARGETS quillet_module LIBRARY DESTINATION ${QUILLET_INSTALL_FOLDER})
    install(FILES README.md LICENSE DESTINATION ${QUILLET_INSTALL_FOLDER})
else()
    set(QUILLET_INSTALL_DOC_DIR share/doc/quillet)
    # A shared object is loaded, never run: no execute bits, as Debian installs libraries.
    install(TARGETS quillet_module LIBRARY DESTINATION lib/quillet
            PERMISSIONS OWNER_READ OWNER_WRITE GROUP_READ WORLD_READ)
    install(TARGETS quillet-host RUNTIME DESTINATION bin)
    install(FILES ${QUILLET_MANUAL} DESTINATION share/man/man1)
    # The README is for users; docs/ is for the project's developers and host authors.
    install(FILES README.md LICENSE DESTINATION ${QUILLET_INSTALL_DOC_DIR})
endif()

set(CPACK_PACKAGE_NAME quillet)
set(CPACK_PACKAGE_VENDOR "The Quillet developers")
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY
    "content plug-in: Office Open XML properties and text for file managers")
string(CONCAT CPACK_PACKAGE_DESCRIPTION
    "Quillet is a content plug-in that a file manager loads to show what an Office Open XML\n"
    "document (DOCX, XLSX, PPTX, PPSX) is: its core and extended document properties as\n"
    "columns, and the plain text of its body, worksheets or slides for full-text search.\n"
    "The package also holds quillet-host, which loads the module as a file manager does and\n"
    "prints every field it answers for a file.")
set(CPACK_STRIP_FILES TRUE)
# CPack works in this build's own folder; the finished packages are copied to the shared one.
set(QUILLET_PACKAGE_BUILD_DIR "${CMAKE_BINARY_DIR}/packages")
set(CPACK_PACKAGE_DIRECTORY "${QUILLET_PACKAGE_BUILD_DIR}")
set(CPACK_QUILLET_OUTPUT_DIR "${QUILLET_PACKAGE_OUTPUT_DIR}")
set(CPACK_POST_BUILD_SCRIPTS "${CMAKE_CURRENT_LIST_DIR}/CollectPackages.cmake")

if(WIN32)
    set(CPACK_GENERATOR ZIP)
    set(CPACK_PACKAGE_FILE_NAME quillet-${PROJECT_VERSION}-win64)
    set(CPACK_INCLUDE_TOPLEVEL_DIRECTORY OFF)
else()
    set(CPACK_GENERATOR DEB TGZ)
    # The .tar.gz holds the very tree of the .deb: usr/bin, usr/lib/quillet, usr/share/doc.
    set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
    set(CPACK_INCLUDE_TOPLEVEL_DIRECTORY OFF)
    find_program(QUILLET_DPKG dpkg)
    if(QUILLET_DPKG)
        execute_process(COMMAND ${QUILLET_DPKG} --print-architecture
                        OUTPUT_VARIABLE QUILLET_DEB_ARCH OUTPUT_STRIP_TRAILING_WHITESPACE)
    else()
        set(QUILLET_DEB_ARCH ${CMAKE_SYSTEM_PROCESSOR})
    endif()
    set(CPACK_PACKAGE_FILE_NAME quillet-${PROJECT_VERSION}-linux-${QUILLET_DEB_ARCH})
    set(QUILLET_DEB_FILE_NAME quillet_${PROJECT_VERSION}_${QUILLET_DEB_ARCH}.deb)
    set(QUILLET_TGZ_FILE_NAME ${CPACK_PACKAGE_FILE_NAME}.tar.gz)

    set(CPACK_DEBIAN_FILE_NAME ${QUILLET_DEB_FILE_NAME})
    set(CPACK_DEBIAN_PACKAGE_NAME quillet)
    set(CPACK_DEBIAN_PACKAGE_ARCHITECTURE ${QUILLET_DEB_ARCH})
    set(CPACK_DEBIAN_PACKAGE_MAINTAINER "The Quillet developers")
    set(CPACK_DEBIAN_PACKAGE_SECTION utils)
    set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
    # dpkg-shlibdeps names the packages of every library the module and the host link.
    set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
    set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)
endif()

include(CPack)
