find_package(Qt6 REQUIRED COMPONENTS Core)
telemon_add_bench(socket_bench SOURCES ${CMAKE_CURRENT_SOURCE_DIR}/socket_bench.cpp LIBS socket Qt6::Core)
