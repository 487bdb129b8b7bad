telemon_add_bench(linksup_bench SOURCES ${CMAKE_CURRENT_SOURCE_DIR}/linksup_bench.cpp LIBS analysis benchmark::benchmark)
