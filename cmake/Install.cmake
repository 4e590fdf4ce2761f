# Installing Vimo like a desktop program. The program writes its data files
# into the folder it runs from and reads Res/ there, so it must run from a
# folder its user can write. Two layouts:
#
# Per user (the default; `make install`): the program folder
# <prefix>/share/vimo with vimo, its chart module and Res/, a menu launcher
# <prefix>/share/applications/vimo.desktop whose Path= is that folder, and the
# icon in <prefix>/share/icons/hicolor. The prefix defaults to ~/.local.
#
# For all users (VIMO_SYSTEM_INSTALL, the Debian package): the program folder
# <prefix>/lib/vimo, the launcher script <prefix>/bin/vimo that gives each
# user a private copy of it in ~/.local/share/vimo and starts that copy, the
# menu launcher and the icon. `make deb` packages this layout with CPack.
#
# Both put the report command in <prefix>/bin/vimo-report and the AppStream
# file in <prefix>/share/metainfo.
if(NOT TARGET vimo)
    return()
endif()

option(VIMO_SYSTEM_INSTALL "Install for all users, as the Debian package does" OFF)
if(CMAKE_INSTALL_PREFIX_INITIALIZED_TO_DEFAULT AND NOT VIMO_SYSTEM_INSTALL)
    set(CMAKE_INSTALL_PREFIX "$ENV{HOME}/.local" CACHE PATH "Install prefix" FORCE)
endif()

set(packaging_dir ${PROJECT_SOURCE_DIR}/packaging)
if(VIMO_SYSTEM_INSTALL)
    set(program_dir lib/vimo)
else()
    set(program_dir share/vimo)
endif()

install(TARGETS vimo RUNTIME DESTINATION ${program_dir})
# The overview's chart, loaded from beside the program.
install(TARGETS vimo-charts LIBRARY DESTINATION ${program_dir})
# The report command only reads a working folder and finds it by itself, so
# it needs no private copy: it goes where commands are looked for.
install(TARGETS vimo-report RUNTIME DESTINATION bin)
install(FILES ${PROJECT_SOURCE_DIR}/res/OnLine.ico ${PROJECT_SOURCE_DIR}/res/OffLine.ico
        DESTINATION ${program_dir}/Res)
# What software centres show of the program; it names the menu entry below.
install(FILES ${packaging_dir}/org.vimo.Vimo.metainfo.xml DESTINATION share/metainfo)
foreach(size 16 32 48 128)
    install(FILES ${packaging_dir}/icons/vimo-${size}.png
            DESTINATION share/icons/hicolor/${size}x${size}/apps RENAME vimo.png)
endforeach()

if(VIMO_SYSTEM_INSTALL)
    set(VIMO_SYSTEM_PROGRAM_DIR ${CMAKE_INSTALL_PREFIX}/${program_dir})
    configure_file(${packaging_dir}/vimo-launcher.sh.in ${CMAKE_BINARY_DIR}/packaging/vimo @ONLY)
    install(PROGRAMS ${CMAKE_BINARY_DIR}/packaging/vimo DESTINATION bin)
    # The launcher script finds its own folder, so the menu entry needs no Path=.
    set(VIMO_DESKTOP_EXEC vimo)
    set(VIMO_DESKTOP_PATH_LINE "")
    configure_file(${packaging_dir}/vimo.desktop.in ${CMAKE_BINARY_DIR}/packaging/vimo.desktop
                   @ONLY)
    install(FILES ${CMAKE_BINARY_DIR}/packaging/vimo.desktop DESTINATION share/applications)
    include(${packaging_dir}/DebianPackage.cmake)
else()
    # The launcher names the installed folder, which is known only when
    # installing (`cmake --install --prefix` may move it), so it is written then.
    install(CODE "
        set(VIMO_DESKTOP_TEMPLATE \"${packaging_dir}/vimo.desktop.in\")
        set(VIMO_DESKTOP_OUTPUT \"${CMAKE_BINARY_DIR}/packaging/vimo.desktop\")
        set(VIMO_PROGRAM_DIR \"\${CMAKE_INSTALL_PREFIX}/${program_dir}\")")
    install(SCRIPT ${packaging_dir}/WriteLauncher.cmake)
endif()

add_custom_target(uninstall
    COMMAND ${CMAKE_COMMAND} -DVIMO_MANIFEST=${CMAKE_BINARY_DIR}/install_manifest.txt
            -P ${packaging_dir}/uninstall.cmake
    COMMENT "Removing the installed files (never the data files)")
