# The symbol facts per change in the window (bench_symbol_facts).
add_executable(bench_symbol_facts ${CMAKE_CURRENT_LIST_DIR}/bench_symbol_facts.cpp)
target_link_libraries(bench_symbol_facts PRIVATE qrticket::symbols benchmark::benchmark)

# The Portaria 195/2020 check of the longest message, per change in the window (bench_portaria).
add_executable(bench_portaria ${CMAKE_CURRENT_LIST_DIR}/bench_portaria.cpp)
target_link_libraries(bench_portaria PRIVATE qrticket::portaria benchmark::benchmark)
