# Run by CPack after it made the packages of one build: copies them to the folder that collects
# the packages of every build (build/packages).
file(MAKE_DIRECTORY "${CPACK_QUILLET_OUTPUT_DIR}")
foreach(package IN LISTS CPACK_PACKAGE_FILES)
    file(COPY "${package}" DESTINATION "${CPACK_QUILLET_OUTPUT_DIR}")
    get_filename_component(name "${package}" NAME)
    message(STATUS "Package: ${CPACK_QUILLET_OUTPUT_DIR}/${name}")
endforeach()
