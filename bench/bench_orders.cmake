# Delivery-note export: 1,000 orders of 5 item lines into one workbook (target: under 3 s).
add_executable(bench_orders ${CMAKE_CURRENT_LIST_DIR}/bench_orders.cpp)
target_link_libraries(bench_orders PRIVATE lumetra_orders)
target_compile_definitions(bench_orders PRIVATE
    BENCH_TEMPLATE_DIR="${CMAKE_CURRENT_LIST_DIR}/../data/templatefile")
lumetra_warnings(bench_orders)
