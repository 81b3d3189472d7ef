# The Debian package, made by `cpack -G DEB` in a build folder (scripts/package
# makes it from the release build): pixalto_<version>_<arch>.deb with what
# `cmake --install` puts under /usr. Its dependencies are the shared libraries
# the programs link, as dpkg-shlibdeps finds them. No maintainer scripts: the
# MIME database, the desktop entries' cache, the icon cache and the man page
# index are refreshed by the triggers of the Debian packages that own them.
set(CPACK_PACKAGE_NAME pixalto)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_VENDOR "The Pixalto developers")
set(CPACK_PACKAGE_CONTACT "The Pixalto developers <pixalto@users.noreply.github.com>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "view, edit and convert PlayStation TIM images")
string(CONCAT CPACK_PACKAGE_DESCRIPTION
  "Pixalto shows PlayStation TIM images (and BMPs) pixel for pixel with any of\n"
  "their CLUT sets, edits the CLUT, converts between TIM and BMP, and finds,\n"
  "extracts and re-inserts the TIMs embedded in disc images and archives.\n"
  "pixalto-cli does the same work for scripts; a thumbnailer shows TIMs in\n"
  "file managers.")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION graphics)
set(CPACK_DEBIAN_PACKAGE_HOMEPAGE ${PIXALTO_HOMEPAGE})
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# What makes the file type, the thumbnails and the completion work on a
# desktop; the programs run without them.
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "shared-mime-info, desktop-file-utils, hicolor-icon-theme")
set(CPACK_DEBIAN_PACKAGE_SUGGESTS "bash-completion")
include(CPack)
