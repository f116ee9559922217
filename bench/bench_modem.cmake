add_executable(bench_modem ${CMAKE_CURRENT_LIST_DIR}/bench_modem.cpp)
target_link_libraries(bench_modem PRIVATE lumetra_modem)
lumetra_warnings(bench_modem)
