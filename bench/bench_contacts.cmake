# Contacts figures: importing 10,000 contacts from an .xlsx workbook (target: under 3 s), and
# exporting them again.
add_executable(bench_contacts ${CMAKE_CURRENT_LIST_DIR}/bench_contacts.cpp)
target_link_libraries(bench_contacts PRIVATE lumetra_contacts)
lumetra_warnings(bench_contacts)
