# Debian package: cpack -G DEB in the build folder.
set(CPACK_PACKAGE_NAME "kestrava")
set(CPACK_PACKAGE_VENDOR "Kestrava")
set(CPACK_PACKAGE_CONTACT "Kestrava packaging <packaging@kestrava.example.com>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "View, filter, print and chart weld records of electrofusion welding machines")
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGING_INSTALL_PREFIX "/usr")
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION "utils")
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# The SVG icon engine is a plugin, which the shared-library scan cannot see.
set(CPACK_DEBIAN_PACKAGE_DEPENDS "libqt6svg6, shared-mime-info, desktop-file-utils")
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "fonts-liberation, qt6-translations-l10n")
# Files the program cannot list are handed to a spreadsheet program.
set(CPACK_DEBIAN_PACKAGE_SUGGESTS "libreoffice-calc | gnumeric")
set(CPACK_DEBIAN_PACKAGE_DESCRIPTION
  "Kestrava Analyser opens the download files of electrofusion welding machines,\nplain (.xls) or encrypted (.pfd), lists the weld records under the file's own\ncolumn names, filters them by date or error number, prints them, saves them\nin either kind and charts how often each error code occurs.")
include(CPack)
