# Ostrel under a flood of datagrams from a sender process: the real main
# window (offscreen; display, time and capture on) beside a plain recvfrom
# loop in the same run, the event loop's worst stall, and the largest
# datagram.
find_package(Qt6 REQUIRED COMPONENTS Widgets)
add_executable(ostrel_flood_sender ${CMAKE_CURRENT_SOURCE_DIR}/ostrel_flood_sender.cpp)
telemon_warnings(ostrel_flood_sender)
telemon_add_bench(ostrel_flood
    SOURCES ${CMAKE_CURRENT_SOURCE_DIR}/ostrel_flood.cpp
    LIBS udpmon_lib bench_probes Qt6::Widgets)
add_dependencies(ostrel_flood ostrel_flood_sender)
target_compile_definitions(ostrel_flood PRIVATE
    OSTREL_FLOOD_SENDER="$<TARGET_FILE:ostrel_flood_sender>")
# The IEC 104 flood with the link supervision window closed and open.
add_custom_target(run-ostrel_flood_linkwatch
    COMMAND ${CMAKE_COMMAND} -E env QT_QPA_PLATFORM=offscreen $<TARGET_FILE:ostrel_flood> linkwatch
    DEPENDS ostrel_flood USES_TERMINAL)
# The IEC 104 flood over 10 000 objects with the point table window closed and open.
add_custom_target(run-ostrel_flood_points
    COMMAND ${CMAKE_COMMAND} -E env QT_QPA_PLATFORM=offscreen $<TARGET_FILE:ostrel_flood> points
    DEPENDS ostrel_flood USES_TERMINAL)
