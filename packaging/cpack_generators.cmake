# Read by cpack once for each generator: the Debian package holds the installed layout, the archive the
# portable folder.
if(CPACK_GENERATOR STREQUAL "DEB")
    set(CPACK_INSTALL_CMAKE_PROJECTS "${CPACK_KURANOTE_BUILD_DIR};kuranote;installed;/")
elseif(CPACK_GENERATOR STREQUAL "TGZ")
    set(CPACK_INSTALL_CMAKE_PROJECTS "${CPACK_KURANOTE_BUILD_DIR};kuranote;portable;/")
    set(CPACK_PACKAGE_FILE_NAME "${CPACK_KURANOTE_ARCHIVE_NAME}")
endif()
