# Loading a 200 MB, 2-million-line receive log into the receive window,
# beside `wc -l` of the same file in the same run.
telemon_add_bench(ostrel_load
    SOURCES ${CMAKE_CURRENT_SOURCE_DIR}/ostrel_load.cpp
    LIBS platform widgets Qt6::Widgets)
