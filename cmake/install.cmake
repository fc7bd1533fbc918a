# The installed layout of a Debian game, relative to CMAKE_INSTALL_PREFIX (/usr, /usr/local and
# /opt/... all work): the programs in games/, the data folder in share/games/zib/baseq7 (the
# program finds it from its own folder), manual pages (English, and Czech under cs/), the English
# catalogue (po/), desktop entry, icons and AppStream metainfo.
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

# The desktop entry and the AppStream metainfo in both languages: their sources hold the Czech
# texts (which scripts/make-pot puts into po/zib.pot), msgfmt adds the English from po/en.po, and
# english-default.awk makes English the default with the Czech as [cs] / xml:lang="cs" -- the
# untranslated text is what every other locale shows, and the game speaks English there too.
set(ZIB_DESKTOP_FILE ${CMAKE_BINARY_DIR}/packaging/${ZIB_APP_ID}.desktop)
set(ZIB_METAINFO_FILE ${CMAKE_BINARY_DIR}/packaging/${ZIB_APP_ID}.metainfo.xml)
set(ZIB_ENGLISH_DEFAULT ${CMAKE_SOURCE_DIR}/cmake/english-default.awk)
find_program(ZIB_AWK NAMES awk mawk gawk REQUIRED)
add_custom_command(
    OUTPUT ${ZIB_DESKTOP_FILE}
    COMMAND ${CMAKE_COMMAND} -E make_directory ${CMAKE_BINARY_DIR}/packaging
    COMMAND ${ZIB_MSGFMT} --desktop -l en --template=${ZIB_PACKAGING_DIR}/${ZIB_APP_ID}.desktop.in
            -o ${ZIB_DESKTOP_FILE}.en ${CMAKE_SOURCE_DIR}/po/en.po
    COMMAND ${ZIB_AWK} -v kind=desktop -f ${ZIB_ENGLISH_DEFAULT} ${ZIB_DESKTOP_FILE}.en
            ${ZIB_DESKTOP_FILE}.en > ${ZIB_DESKTOP_FILE}
    DEPENDS ${ZIB_PACKAGING_DIR}/${ZIB_APP_ID}.desktop.in ${CMAKE_SOURCE_DIR}/po/en.po
            ${ZIB_ENGLISH_DEFAULT}
    COMMENT "Merging the desktop entry's English")
add_custom_command(
    OUTPUT ${ZIB_METAINFO_FILE}
    COMMAND ${CMAKE_COMMAND} -E make_directory ${CMAKE_BINARY_DIR}/packaging
    COMMAND ${ZIB_MSGFMT} --xml -l en --template=${ZIB_PACKAGING_DIR}/${ZIB_APP_ID}.metainfo.xml.in
            -o ${ZIB_METAINFO_FILE}.en ${CMAKE_SOURCE_DIR}/po/en.po
    COMMAND ${ZIB_AWK} -v kind=xml -f ${ZIB_ENGLISH_DEFAULT} ${ZIB_METAINFO_FILE}.en
            > ${ZIB_METAINFO_FILE}
    DEPENDS ${ZIB_PACKAGING_DIR}/${ZIB_APP_ID}.metainfo.xml.in ${CMAKE_SOURCE_DIR}/po/en.po
            ${ZIB_ENGLISH_DEFAULT}
    COMMENT "Merging the AppStream metainfo's English")

# The manual pages carry the version and are installed compressed, as Debian wants them: English
# in man6 (what man shows in every locale without its own pages), Czech in cs/man6.
find_program(ZIB_GZIP gzip REQUIRED)
set(ZIB_MAN_PAGES)
set(ZIB_CZECH_MAN_PAGES)
foreach(page zib.6 zibsim.6 zib-server.6)
    foreach(language en cs)
        set(built ${CMAKE_BINARY_DIR}/man/${language}/${page})
        configure_file(${ZIB_PACKAGING_DIR}/man/${language}/${page} ${built} @ONLY)
        add_custom_command(
            OUTPUT ${built}.gz
            COMMAND ${ZIB_GZIP} -9nf -k ${built}
            DEPENDS ${built}
            COMMENT "Compressing the manual page ${language}/${page}")
        if(language STREQUAL "en")
            list(APPEND ZIB_MAN_PAGES ${built}.gz)
        else()
            list(APPEND ZIB_CZECH_MAN_PAGES ${built}.gz)
        endif()
    endforeach()
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
    DEPENDS ${ZIB_MAN_PAGES} ${ZIB_CZECH_MAN_PAGES} ${CMAKE_BINARY_DIR}/doc/changelog.gz
            ${ZIB_DESKTOP_FILE} ${ZIB_METAINFO_FILE})

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
install(FILES ${ZIB_CZECH_MAN_PAGES} DESTINATION share/man/cs/man6 PERMISSIONS ${ZIB_FILE_MODE})
install(FILES ${ZIB_DESKTOP_FILE} DESTINATION share/applications PERMISSIONS ${ZIB_FILE_MODE})
install(FILES ${ZIB_METAINFO_FILE} DESTINATION share/metainfo PERMISSIONS ${ZIB_FILE_MODE})
install(DIRECTORY ${CMAKE_BINARY_DIR}/icons/hicolor DESTINATION share/icons
        FILE_PERMISSIONS ${ZIB_FILE_MODE} DIRECTORY_PERMISSIONS ${ZIB_DIR_MODE}
        PATTERN .stamp EXCLUDE)
install(FILES ${ZIB_PACKAGING_DIR}/copyright ${CMAKE_BINARY_DIR}/doc/changelog.gz
        DESTINATION share/doc/zib PERMISSIONS ${ZIB_FILE_MODE})
