telemon_add_bench(points_bench SOURCES ${CMAKE_CURRENT_SOURCE_DIR}/points_bench.cpp LIBS analysis benchmark::benchmark)
