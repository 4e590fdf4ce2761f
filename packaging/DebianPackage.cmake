# The Debian package of the all-users layout: `cpack -G DEB` in a build
# folder configured with VIMO_SYSTEM_INSTALL=ON and CMAKE_INSTALL_PREFIX=/usr
# gives vimo_<version>_<arch>.deb. The Qt libraries it needs (and with
# libqt6gui6 the X11 platform and icon plugins) come from dpkg-shlibdeps.
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME vimo)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "tray counter of online minutes and their cost")
# The synopsis above is the Description's first line; this is the rest.
set(CPACK_DEBIAN_PACKAGE_DESCRIPTION "Vimo sits in the notification area and counts the minutes the computer is
online, per day and per connection, and what they cost at a tariff per
minute. Each user runs a private copy in ~/.local/share/vimo, where the
minutes table, the settings and the connection history are kept. The command
vimo-report lists the recorded connections as text, CSV or JSON.")
set(CPACK_PACKAGE_CONTACT "Vimo maintainers <vimo@localhost>")
set(CPACK_DEBIAN_PACKAGE_SECTION utils)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# Wayland sessions need Qt's Wayland platform, else Qt falls back on X11
# through Xwayland; plain GNOME Shell shows no tray icons without the
# AppIndicator extension (Vimo then keeps its window on the taskbar). Qt's
# own buttons and dialogs speak Ukrainian and Russian with Qt's catalogues.
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "qt6-wayland, qt6-translations-l10n")
set(CPACK_DEBIAN_PACKAGE_SUGGESTS gnome-shell-extension-appindicator)
# The launcher script runs cmp from diffutils, which is essential on Debian
# and needs no entry.
set(CPACK_STRIP_FILES ON)
set(CPACK_PACKAGING_INSTALL_PREFIX ${CMAKE_INSTALL_PREFIX})
include(CPack)
