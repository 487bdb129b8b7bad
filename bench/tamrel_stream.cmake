# Both TCP monitors reading a peer that streams as fast as it can, through
# the real main window (offscreen, display on), beside a plain recv loop in
# the same run: Tamrel_S read by a client that connects to it, Tamrel_C
# reading the server it connects to.
find_package(Qt6 REQUIRED COMPONENTS Widgets)
telemon_add_bench(tamrel_stream
    SOURCES ${CMAKE_CURRENT_SOURCE_DIR}/tamrel_stream.cpp
    LIBS tcpmon_client bench_probes Qt6::Widgets)
