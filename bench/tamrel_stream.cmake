# Tamrel_S: a client streaming as fast as it can, through the real main window
# (offscreen, display on), beside a plain recv loop in the same run.
find_package(Qt6 REQUIRED COMPONENTS Widgets)
telemon_add_bench(tamrel_stream
    SOURCES ${CMAKE_CURRENT_SOURCE_DIR}/tamrel_stream.cpp
    LIBS tcpmon_lib Qt6::Widgets)
