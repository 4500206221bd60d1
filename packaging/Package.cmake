# The Debian package: `cpack -G DEB` in the build folder (scripts/package.sh
# builds it and runs lintian). The programs, the desktop entry, the metainfo
# that software centres list and the icon
# install from their own folders; the manual pages and Debian's documents
# from here, compressed as Debian expects.
include(GNUInstallDirs)

set(KPX_PACKAGE_NAME kinopage-lite)
set(KPX_DOC_DIR ${CMAKE_INSTALL_DATADIR}/doc/${KPX_PACKAGE_NAME})

function(kpx_install_compressed source destination)
  get_filename_component(name ${source} NAME)
  set(compressed ${CMAKE_CURRENT_BINARY_DIR}/packaging/${name}.gz)
  add_custom_command(
    OUTPUT ${compressed}
    COMMAND ${CMAKE_COMMAND} -E make_directory ${CMAKE_CURRENT_BINARY_DIR}/packaging
    COMMAND gzip -9nc ${source} > ${compressed}
    DEPENDS ${source}
    COMMENT "Compressing ${name}"
    VERBATIM
  )
  add_custom_target(kpx_compress_${name} ALL DEPENDS ${compressed})
  install(FILES ${compressed} DESTINATION ${destination})
endfunction()

kpx_install_compressed(${PROJECT_SOURCE_DIR}/app/man/kpx_app.1 ${CMAKE_INSTALL_MANDIR}/man1)
kpx_install_compressed(${PROJECT_SOURCE_DIR}/app/man/kpx_publish.1 ${CMAKE_INSTALL_MANDIR}/man1)
kpx_install_compressed(${PROJECT_SOURCE_DIR}/packaging/changelog ${KPX_DOC_DIR})
install(FILES ${PROJECT_SOURCE_DIR}/packaging/copyright DESTINATION ${KPX_DOC_DIR})

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME ${KPX_PACKAGE_NAME})
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "publish ezmovie files as pages for a handset browser")
string(JOIN "\n" CPACK_PACKAGE_DESCRIPTION
  "Kinopage Lite publishes a folder of ezmovie files (*.amc) as a numbered"
  "series of Shift_JIS XHTML pages for a handset browser: it copies every movie"
  "under a handset-safe name and writes each page from a header, one download"
  "block per movie and a footer linking the neighbouring pages."
  "The desktop program kpx_app, with a Japanese user interface, edits each"
  "movie's texts page by page and sorts and deletes movies in a list;"
  "kpx_publish does the same run from the command line.")
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_MAINTAINER "Kinopage Lite developers <support@kinopage.example.jp>")
set(CPACK_DEBIAN_PACKAGE_SECTION video)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_HOMEPAGE https://kinopage.example.jp/)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# Beyond the libraries: the Japanese fonts the windows are drawn with, and Qt's own texts in Japanese.
set(CPACK_DEBIAN_PACKAGE_DEPENDS "fonts-ipafont-gothic, qt6-translations-l10n")
include(CPack)
