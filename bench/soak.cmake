# The soak (make soak, not part of make bench): each program's real window
# with every feature on, under steady traffic for SOAK_MINUTES (10), its
# memory, descriptors, CPU and stalls printed every minute. Uses the load
# rig's paced sender for Ostrel.
find_package(Qt6 REQUIRED COMPONENTS Widgets)
set(SOAK_MINUTES 10 CACHE STRING "Minutes each program runs in the soak")
set(soak_rig ${CMAKE_CURRENT_BINARY_DIR}/soak-rig)
set(soak_rig_source "${PROJECT_SOURCE_DIR}/../shared/bench-rig/udp_blast.c")
add_custom_command(
    OUTPUT ${soak_rig}/udp_blast
    COMMAND ${CMAKE_COMMAND} -E make_directory ${soak_rig}
    COMMAND gcc -O2 -Wall -o ${soak_rig}/udp_blast ${soak_rig_source}
    DEPENDS ${soak_rig_source}
    COMMENT "Building the load rig's paced sender")
add_custom_target(soak_rig DEPENDS ${soak_rig}/udp_blast)

add_executable(soak_ostrel ${CMAKE_CURRENT_SOURCE_DIR}/soak_ostrel.cpp)
target_link_libraries(soak_ostrel PRIVATE udpmon_lib bench_probes)
telemon_warnings(soak_ostrel)
add_dependencies(soak_ostrel soak_rig)

add_executable(soak_tamrel_client ${CMAKE_CURRENT_SOURCE_DIR}/soak_tamrel_client.cpp)
telemon_warnings(soak_tamrel_client)
add_executable(soak_tamrel ${CMAKE_CURRENT_SOURCE_DIR}/soak_tamrel.cpp)
target_link_libraries(soak_tamrel PRIVATE tcpmon_lib bench_probes)
telemon_warnings(soak_tamrel)
add_dependencies(soak_tamrel soak_tamrel_client)

add_custom_target(run-soak
    COMMAND ${CMAKE_COMMAND} -E env QT_QPA_PLATFORM=offscreen
        $<TARGET_FILE:soak_ostrel> ${soak_rig}/udp_blast ${SOAK_MINUTES}
    COMMAND ${CMAKE_COMMAND} -E env QT_QPA_PLATFORM=offscreen
        $<TARGET_FILE:soak_tamrel> $<TARGET_FILE:soak_tamrel_client> ${SOAK_MINUTES}
    DEPENDS soak_ostrel soak_tamrel USES_TERMINAL)
