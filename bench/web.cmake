# The receipt bench: a job's way to the page's event stream (bench_web), and memory with 200
# receipts held (web_memory.sh, a script).
if(TARGET qrticket_viewer_web AND TARGET qrticket_testsupport)
  add_executable(bench_web ${CMAKE_CURRENT_LIST_DIR}/bench_web.cpp
                 ${PROJECT_SOURCE_DIR}/tests/viewer/http_exchange.cpp)
  target_include_directories(bench_web PRIVATE ${PROJECT_SOURCE_DIR}/tests/viewer)
  target_link_libraries(bench_web PRIVATE qrticket_viewer_web qrticket_testsupport
                        benchmark::benchmark)
  target_compile_definitions(bench_web PRIVATE
                             QRTICKET_VIEWER_FIXTURES="${PROJECT_SOURCE_DIR}/tests/viewer/fixtures")
endif()
