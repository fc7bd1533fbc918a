# The installed layout of a Debian game, relative to CMAKE_INSTALL_PREFIX (/usr, /usr/local and
# /opt/... all work): the programs in games/, the data folder in share/games/zib/baseq7 (the
# program finds it from its own folder), manual pages, desktop entry, icons and AppStream metainfo.
# Refers to the executables zib, zibsim, zib-server and zib_assetgen only. The ZIB server comes
# with a systemd unit that the package installs disabled.

set(ZIB_APP_ID net.zib_hra.zib)
set(ZIB_PACKAGING_DIR ${CMAKE_SOURCE_DIR}/packaging)

# The icons: drawn by the asset generator from the snakes' sprite pieces.
set(ZIB_ICON_STAMP ${CMAKE_BINARY_DIR}/icons/.stamp)
add_custom_command(
    OUTPUT ${ZIB_ICON_STAMP}
    COMMAND zib_assetgen --icons ${CMAKE_BINARY_DIR}/icons ${ZIB_APP_ID}
    COMMAND ${CMAKE_COMMAND} -E touch ${ZIB_ICON_STAMP}
    DEPENDS zib_assetgen
    COMMENT "Drawing the icons")
add_custom_target(zib_icons ALL DEPENDS ${ZIB_ICON_STAMP})

# The manual pages carry the version and are installed compressed, as Debian wants them.
find_program(ZIB_GZIP gzip REQUIRED)
set(ZIB_MAN_PAGES)
foreach(page zib.6 zibsim.6 zib-server.6)
    configure_file(${ZIB_PACKAGING_DIR}/man/${page} ${CMAKE_BINARY_DIR}/man/${page} @ONLY)
    add_custom_command(
        OUTPUT ${CMAKE_BINARY_DIR}/man/${page}.gz
        COMMAND ${ZIB_GZIP} -9nf -k ${CMAKE_BINARY_DIR}/man/${page}
        DEPENDS ${CMAKE_BINARY_DIR}/man/${page}
        COMMENT "Compressing the manual page ${page}")
    list(APPEND ZIB_MAN_PAGES ${CMAKE_BINARY_DIR}/man/${page}.gz)
endforeach()

# The changelog, compressed the same way (a native package's: changelog.gz).
add_custom_command(
    OUTPUT ${CMAKE_BINARY_DIR}/doc/changelog.gz
    COMMAND ${CMAKE_COMMAND} -E make_directory ${CMAKE_BINARY_DIR}/doc
    COMMAND ${ZIB_GZIP} -9n -c ${ZIB_PACKAGING_DIR}/changelog
            > ${CMAKE_BINARY_DIR}/doc/changelog.gz
    DEPENDS ${ZIB_PACKAGING_DIR}/changelog
    COMMENT "Compressing the Debian changelog")
add_custom_target(zib_install_files ALL
    DEPENDS ${ZIB_MAN_PAGES} ${CMAKE_BINARY_DIR}/doc/changelog.gz)

set(ZIB_FILE_MODE OWNER_READ OWNER_WRITE GROUP_READ WORLD_READ)
set(ZIB_DIR_MODE OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ GROUP_EXECUTE WORLD_READ
                 WORLD_EXECUTE)

install(TARGETS zib zibsim zib-server RUNTIME DESTINATION games)
install(FILES ${ZIB_PACKAGING_DIR}/zib-server.service DESTINATION lib/systemd/system
        PERMISSIONS ${ZIB_FILE_MODE})
install(DIRECTORY ${CMAKE_BINARY_DIR}/baseq7 DESTINATION share/games/zib
        FILE_PERMISSIONS ${ZIB_FILE_MODE} DIRECTORY_PERMISSIONS ${ZIB_DIR_MODE}
        PATTERN .stamp EXCLUDE)
install(FILES ${ZIB_MAN_PAGES} DESTINATION share/man/man6 PERMISSIONS ${ZIB_FILE_MODE})
install(FILES ${ZIB_PACKAGING_DIR}/${ZIB_APP_ID}.desktop DESTINATION share/applications
        PERMISSIONS ${ZIB_FILE_MODE})
install(FILES ${ZIB_PACKAGING_DIR}/${ZIB_APP_ID}.metainfo.xml DESTINATION share/metainfo
        PERMISSIONS ${ZIB_FILE_MODE})
install(DIRECTORY ${CMAKE_BINARY_DIR}/icons/hicolor DESTINATION share/icons
        FILE_PERMISSIONS ${ZIB_FILE_MODE} DIRECTORY_PERMISSIONS ${ZIB_DIR_MODE}
        PATTERN .stamp EXCLUDE)
install(FILES ${ZIB_PACKAGING_DIR}/copyright ${CMAKE_BINARY_DIR}/doc/changelog.gz
        DESTINATION share/doc/zib PERMISSIONS ${ZIB_FILE_MODE})
