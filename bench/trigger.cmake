# Ostrel answering a polling master (make bench-trigger, part of make bench):
# the request generator at 250 to 100 000 requests/s against the real main
# window configured through its dialogs and against ostrel-headless, beside
# the minimal C responder and the peer GUI responder measured in the same run
# by the load rig's anchors script. The rig's sources are used from their read-only place.
find_package(Qt6 REQUIRED COMPONENTS Widgets)
set(TELEMON_BENCH_RIG "${PROJECT_SOURCE_DIR}/../shared/bench-rig" CACHE PATH
    "The request/response load rig (udp_gen.c, udp_resp.c, x_ping.c, run_anchors.sh)")
if(NOT EXISTS "${TELEMON_BENCH_RIG}/udp_gen.c")
    message(WARNING "The load rig is not at ${TELEMON_BENCH_RIG}: the trigger benchmark is left out "
                    "(set TELEMON_BENCH_RIG to the folder with udp_gen.c, udp_resp.c, x_ping.c and run_anchors.sh).")
    add_custom_target(run-bench-trigger
        COMMAND ${CMAKE_COMMAND} -E echo "trigger bench: no load rig at ${TELEMON_BENCH_RIG} (set TELEMON_BENCH_RIG)"
        COMMAND ${CMAKE_COMMAND} -E false
        VERBATIM)
    return()
endif()
set(trigger_rig_bin ${CMAKE_CURRENT_BINARY_DIR}/trigger-rig)
add_custom_command(
    OUTPUT ${trigger_rig_bin}/udp_gen ${trigger_rig_bin}/udp_resp
    COMMAND ${CMAKE_COMMAND} -E make_directory ${trigger_rig_bin}
    COMMAND gcc -O2 -Wall -o ${trigger_rig_bin}/udp_gen ${TELEMON_BENCH_RIG}/udp_gen.c -lm
    COMMAND gcc -O2 -Wall -o ${trigger_rig_bin}/udp_resp ${TELEMON_BENCH_RIG}/udp_resp.c
    DEPENDS ${TELEMON_BENCH_RIG}/udp_gen.c ${TELEMON_BENCH_RIG}/udp_resp.c
    COMMENT "Building the load rig's generator and minimal responder")
add_custom_command(
    OUTPUT ${trigger_rig_bin}/x_ping
    COMMAND ${CMAKE_COMMAND} -E make_directory ${trigger_rig_bin}
    COMMAND gcc -O2 -Wall -o ${trigger_rig_bin}/x_ping ${TELEMON_BENCH_RIG}/x_ping.c -lX11
    DEPENDS ${TELEMON_BENCH_RIG}/x_ping.c
    COMMENT "Building the load rig's GUI probe")
add_custom_target(trigger_rig DEPENDS ${trigger_rig_bin}/udp_gen ${trigger_rig_bin}/udp_resp ${trigger_rig_bin}/x_ping)

add_executable(trigger_ostrel ${CMAKE_CURRENT_SOURCE_DIR}/trigger_ostrel.cpp)
target_link_libraries(trigger_ostrel PRIVATE udpmon_lib bench_probes)
telemon_warnings(trigger_ostrel)
add_dependencies(trigger_ostrel trigger_rig)

add_custom_target(run-bench-trigger
    COMMAND ${CMAKE_COMMAND} -E env
        RIG=${TELEMON_BENCH_RIG} RIG_BIN=${trigger_rig_bin}
        OSTREL_HARNESS=$<TARGET_FILE:trigger_ostrel> HEADLESS=$<TARGET_FILE:ostrel-headless>
        WORK=${CMAKE_CURRENT_BINARY_DIR}/trigger-work
        bash ${CMAKE_CURRENT_SOURCE_DIR}/trigger_bench.sh
    DEPENDS trigger_ostrel ostrel-headless trigger_rig USES_TERMINAL)
add_dependencies(run-benchmarks run-bench-trigger)
