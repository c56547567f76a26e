# The Debian package, made by `cpack -G DEB` in the build folder from what `cmake --install`
# lays out, under /usr.
set(CPACK_PACKAGE_NAME kelvarome)
set(CPACK_PACKAGE_VENDOR "Kelvarome")
set(CPACK_PACKAGE_CONTACT "Kelvarome developers <developers@kelvarome.example>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "host application of the Tarvisomel resin 3D printer")
set(CPACK_PACKAGE_DESCRIPTION
    "Kelvarome loads STL models onto a virtual build plate, slices them into layer images, \
calibrates the projector and prints on the Tarvisomel, a resin 3D printer that cures each layer \
with a video projector on the desktop's second screen. Command-line tools slice models, print \
jobs and talk to the printer without the window.")
set(CPACK_PACKAGE_HOMEPAGE_URL "https://www.kelvarome.example")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION graphics)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
# The Qt libraries the programs link are found by dpkg-shlibdeps; the plug-ins Qt loads at run
# time (sounds, SVG pictures) and Qt's own translations are not, so they are named here.
find_program(KELVAROME_DPKG_SHLIBDEPS dpkg-shlibdeps)
if(KELVAROME_DPKG_SHLIBDEPS)
    set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
    set(CPACK_DEBIAN_PACKAGE_DEPENDS "libqt5multimedia5-plugins, libqt5svg5")
else()
    set(CPACK_DEBIAN_PACKAGE_DEPENDS
        "libc6, libstdc++6, libgcc-s1, libqt5core5a (>= 5.15), libqt5gui5 (>= 5.15), \
libqt5widgets5 (>= 5.15), libqt5svg5 (>= 5.15), libqt5multimedia5 (>= 5.15), \
libqt5network5 (>= 5.15), libqt5serialport5 (>= 5.15), libqt5dbus5 (>= 5.15), libgl1, libx11-6, \
libpolyclipping22, libqt5multimedia5-plugins")
endif()
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "qttranslations5-l10n")
include(CPack)
