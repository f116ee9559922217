# Decode and encode throughput of the PDU codec.
add_executable(bench_pdu ${CMAKE_CURRENT_LIST_DIR}/bench_pdu.cpp)
target_link_libraries(bench_pdu PRIVATE lumetra_pdu)
lumetra_warnings(bench_pdu)
