# The Debian package (included by the top-level CMakeLists.txt once the
# sources are known): `cpack -G DEB` in the build folder writes
# vistrel_VERSION_ARCH.deb with everything `cmake --install` puts under /usr.
# The desktop's caches (MIME database, desktop entries, icon cache, man index)
# are refreshed by the triggers of the packages that own them, so the package
# needs no maintainer scripts and leaves nothing of its own behind on removal.

set(VISTREL_HOMEPAGE "https://github.com/vistrel/vistrel"
    CACHE STRING "The project's home page, named by the package and the AppStream metainfo")
set(VISTREL_PACKAGE_MAINTAINER "Vistrel developers <vistrel@users.noreply.github.com>"
    CACHE STRING "The Maintainer field of the Debian package")

set(CPACK_PACKAGE_NAME "vistrel")
set(CPACK_PACKAGE_VENDOR "the Vistrel developers")
set(CPACK_PACKAGE_VERSION "${PROJECT_VERSION}")
set(CPACK_PACKAGE_CONTACT "${VISTREL_PACKAGE_MAINTAINER}")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "editor and player for memory card LCD animations")
set(CPACK_PACKAGE_INSTALL_DIRECTORY "vistrel")
set(CPACK_PACKAGING_INSTALL_PREFIX "/usr")
# Release builds keep their debugging symbols in the build tree, not in the package.
set(CPACK_STRIP_FILES ON)
set(CPACK_GENERATOR "DEB")

set(CPACK_DEBIAN_PACKAGE_NAME "vistrel")
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_MAINTAINER "${VISTREL_PACKAGE_MAINTAINER}")
set(CPACK_DEBIAN_PACKAGE_SECTION "graphics")
set(CPACK_DEBIAN_PACKAGE_PRIORITY "optional")
set(CPACK_DEBIAN_PACKAGE_HOMEPAGE "${VISTREL_HOMEPAGE}")
# dpkg-shlibdeps finds the libraries the programs link to (Qt, libgif,
# libjpeg). The video libraries, which the programs open when they first read
# a video, are named by the top-level CMakeLists.txt once src/import found
# them. Qt's image format plugins are loaded at run time too, so they are
# named here: they read WebP pictures and animations.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "qt6-image-formats-plugins, shared-mime-info, desktop-file-utils")
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)
set(CPACK_DEBIAN_COMPRESSION_TYPE "xz")
# The long description; CPack puts the summary in front of it and indents it
# as the control file wants (an empty line becomes " .").
set(CPACK_DEBIAN_PACKAGE_DESCRIPTION
    "Vistrel draws and plays the 48 x 32 one-bit animations shown on the LCD of a
console memory card. Frames are drawn with paint tools, each frame gets its
own time, pictures, animated GIFs and video clips turn into dithered frames,
and the player shows the animation at the speed it has on the device.

The package holds the editor (vistrel), the command-line tool vistrel-cli for
converting and inspecting animations in bulk, the menu entry, the file types
of LCD and VMS/VMI files with their icons, the user guide and the manual
pages.")
