# The decode window's work (decoding a frame and writing its tree) with the
# Chinese translator and without it, over the decoders' test corpus.
find_package(Qt6 REQUIRED COMPONENTS Core)
add_executable(decode_bench ${CMAKE_CURRENT_SOURCE_DIR}/decode_bench.cpp)
target_link_libraries(decode_bench PRIVATE decode monitor_core Qt6::Core)
target_compile_definitions(decode_bench PRIVATE
    TELEMON_DECODE_CORPUS="${PROJECT_SOURCE_DIR}/tests/decode/corpus")
telemon_warnings(decode_bench)
telemon_embed_translations(decode_bench)
add_custom_target(run-decode_bench COMMAND $<TARGET_FILE:decode_bench> DEPENDS decode_bench USES_TERMINAL)
add_dependencies(run-benchmarks run-decode_bench)
