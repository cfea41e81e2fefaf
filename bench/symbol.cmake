# The symbol facts per change in the window (bench_symbol_facts).
add_executable(bench_symbol_facts ${CMAKE_CURRENT_LIST_DIR}/bench_symbol_facts.cpp)
target_link_libraries(bench_symbol_facts PRIVATE qrticket::symbols benchmark::benchmark)
