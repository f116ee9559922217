# Time from one part's confirmation to the next part's "at+cmgs=" (target: under 10 ms).
add_executable(bench_gateway ${CMAKE_CURRENT_LIST_DIR}/bench_gateway.cpp
    ${CMAKE_CURRENT_LIST_DIR}/../gateway/tests/AnsweringModem.h)
target_include_directories(bench_gateway PRIVATE ${CMAKE_CURRENT_LIST_DIR}/../gateway/tests)
target_link_libraries(bench_gateway PRIVATE lumetra_gateway lumetra_testsupport Qt6::SerialPort)
lumetra_warnings(bench_gateway)

# Queue throughput against a modem that answers at once; taking in a burst of 20 messages.
add_executable(bench_gateway_queue ${CMAKE_CURRENT_LIST_DIR}/bench_gateway_queue.cpp
    ${CMAKE_CURRENT_LIST_DIR}/../gateway/tests/AnsweringModem.h)
target_include_directories(bench_gateway_queue PRIVATE ${CMAKE_CURRENT_LIST_DIR}/../gateway/tests)
target_link_libraries(bench_gateway_queue PRIVATE lumetra_gateway lumetra_testsupport)
lumetra_warnings(bench_gateway_queue)
