# Virtual printer benchmarks: time and peak memory to draw a ticket and encode its PNG.
if(TARGET qrticket_viewer)
  add_executable(bench_viewer ${CMAKE_CURRENT_LIST_DIR}/bench_viewer.cpp)
  target_link_libraries(bench_viewer PRIVATE qrticket::viewer qrticket::ticket benchmark::benchmark)
  target_compile_definitions(bench_viewer PRIVATE
                             QRTICKET_VIEWER_FIXTURES="${PROJECT_SOURCE_DIR}/tests/viewer/fixtures")
endif()
