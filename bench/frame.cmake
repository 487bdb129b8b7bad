telemon_add_bench(frame_bench SOURCES ${CMAKE_CURRENT_SOURCE_DIR}/frame_bench.cpp LIBS frame benchmark::benchmark)
