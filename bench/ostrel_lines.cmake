# Long frames at line rate (part of make bench): the real Ostrel window on
# Xvfb with a window manager, display, time and timed save on, under the load
# rig's paced sender, beside a plain receive-format-append loop.
find_package(Qt6 REQUIRED COMPONENTS Widgets)
add_executable(hex_sink ${CMAKE_CURRENT_SOURCE_DIR}/hex_sink.c)
add_executable(ostrel_lines ${CMAKE_CURRENT_SOURCE_DIR}/ostrel_lines.cpp)
target_link_libraries(ostrel_lines PRIVATE udpmon_lib bench_probes)
telemon_warnings(ostrel_lines)
add_dependencies(ostrel_lines hex_sink soak_rig trigger_rig)
add_custom_target(run-ostrel_lines
    COMMAND ${CMAKE_COMMAND} -E env XPING=${CMAKE_CURRENT_BINARY_DIR}/trigger-rig/x_ping
        QT_QPA_PLATFORM=xcb xvfb-run -a -s "-screen 0 1280x800x24"
        sh -c "openbox & sleep 1; exec \"$0\" \"$@\""
        $<TARGET_FILE:ostrel_lines> ${CMAKE_CURRENT_BINARY_DIR}/soak-rig/udp_blast $<TARGET_FILE:hex_sink>
    DEPENDS ostrel_lines USES_TERMINAL VERBATIM)
add_dependencies(run-benchmarks run-ostrel_lines)
