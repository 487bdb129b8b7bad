# The TCP monitors answering a master by a trigger rule (part of make bench;
# on its own: the run-tamrel_trigger target): the master tcp_master sending
# requests back to back to Tamrel_S's and Tamrel_C's main windows (offscreen,
# display on) and to the minimal C responder tcp_resp, in turns in the same
# run.
find_package(Qt6 REQUIRED COMPONENTS Widgets)
add_executable(tcp_resp ${CMAKE_CURRENT_SOURCE_DIR}/tcp_resp.c)
telemon_warnings(tcp_resp)
add_executable(tcp_master ${CMAKE_CURRENT_SOURCE_DIR}/tcp_master.cpp)
telemon_warnings(tcp_master)
telemon_add_bench(tamrel_trigger
    SOURCES ${CMAKE_CURRENT_SOURCE_DIR}/tamrel_trigger.cpp
    LIBS tcpmon_client bench_probes Qt6::Widgets
    ARGS $<TARGET_FILE:tcp_master> $<TARGET_FILE:tcp_resp>)
add_dependencies(tamrel_trigger tcp_resp tcp_master)
