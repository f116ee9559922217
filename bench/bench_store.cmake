# Store figures: received-message inserts per second, opening the inbox over a million rows.
add_executable(bench_store ${CMAKE_CURRENT_SOURCE_DIR}/bench_store.cpp)
target_link_libraries(bench_store PRIVATE lumetra_store)
lumetra_warnings(bench_store)
