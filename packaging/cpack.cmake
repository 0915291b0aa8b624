# The Debian package, made by `make package`. Its version is the program's, read from the
# source that the About box and --version show.
file(STRINGS ${PROJECT_SOURCE_DIR}/desktop/workflow/program_version.h program_version_line
     REGEX "kProgramVersion = \"[0-9.]+\"")
string(REGEX MATCH "[0-9]+\\.[0-9]+\\.[0-9]+" RAVELO_VERSION "${program_version_line}")
if(NOT RAVELO_VERSION)
  message(FATAL_ERROR "No program version in desktop/workflow/program_version.h")
endif()

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME ravelo)
set(CPACK_PACKAGE_VERSION ${RAVELO_VERSION})
set(CPACK_PACKAGE_CONTACT "Ravelo maintainers <ravelo@example.org>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY
    "cancer registry record validation against NAACCR edit metafiles")
set(CPACK_PACKAGE_DESCRIPTION
    "Ravelo checks NAACCR data files against the edits of a metafile, in a window (ravelo) or\
 from the command line (ravelo-batch), and writes reports of the failures. The package carries\
 the VETRA40 edits engine with its C header and pkg-config file for host programs, its Python\
 package vetra (records, files and pandas data frames checked in a few lines), the metafile\
 tools and a NAACCR 18 sample.")
set(CPACK_PACKAGING_INSTALL_PREFIX ${CMAKE_INSTALL_PREFIX})
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION science)
# The libraries the programs link are found by dpkg-shlibdeps; the engine and the
# file-information library come in the package and are loaded by name. Qt needs its platform
# plugins to open a window, and the help opens in the user's browser.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_DEPENDS "qt6-qpa-plugins")
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "xdg-utils")
# The Python package is pure Python over the engine in this package, so it ships here rather
# than as a package of its own that would have to match this one's engine version for
# version; it needs only python3, and pandas (and Dask) only to check data frames.
set(CPACK_DEBIAN_PACKAGE_SUGGESTS "python3, python3-pandas, python3-dask, python3-distributed")
include(CPack)
