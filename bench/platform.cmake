telemon_add_bench(platform_bench SOURCES ${CMAKE_CURRENT_SOURCE_DIR}/platform_bench.cpp LIBS platform benchmark::benchmark)
