# The Debian package of the programs (`make deb`): CPack's DEB generator over
# the install rules of desktop/. Its dependencies are computed from the
# binaries by dpkg-shlibdeps, plus Qt's own translations, which the windows
# load at run time for their standard buttons, menus and dialogs.
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME telemon)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_VENDOR "The Telemon developers")
set(CPACK_PACKAGE_CONTACT "Telemon developers <telemon@example.org>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "desktop monitors for telecontrol frames over UDP and TCP")
set(CPACK_PACKAGE_DESCRIPTION
    "Three desktop tools for engineers who test and commission devices that speak
telecontrol protocols (IEC 60870-5, CDT, Modbus, DNP3) over Ethernet. Each
shows every chunk of bytes received as one line of hexadecimal byte pairs and
sends typed frames, with protocol check codes appended.
Ostrel is the UDP monitor: it listens on one port, sends frames once, on a
timer or by a schedule, and answers frames by trigger rules.
Tamrel_S is the TCP server monitor: it serves one client at a time.
Tamrel_C is the TCP client monitor: it connects to a device that listens as
a TCP server, can reconnect by itself and answers frames by trigger rules.
ostrel-headless does Ostrel's listening, trigger answers, timed save and a
pcapng packet capture without a display, for test rigs and servers.
The package's version is its own and moves with each release; the programs
report their own versions: Ostrel ${TELEMON_OSTREL_VERSION}, Tamrel_S ${TELEMON_TAMREL_S_VERSION}, Tamrel_C ${TELEMON_TAMREL_C_VERSION}.")
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION net)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_DEPENDS "qt6-translations-l10n")
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)
include(CPack)
