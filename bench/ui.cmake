# Start-up benchmark of the desktop program (bench/startup.sh runs these two programs).
if(TARGET qrticket_ui)
  find_package(Qt6 REQUIRED COMPONENTS Widgets)  # Qt targets are visible per folder
  add_executable(bench_startup_gui ${CMAKE_CURRENT_LIST_DIR}/bench_startup_gui.cpp)
  target_link_libraries(bench_startup_gui PRIVATE qrticket_ui)
  add_executable(bench_startup_minimal ${CMAKE_CURRENT_LIST_DIR}/bench_startup_minimal.cpp)
  target_link_libraries(bench_startup_minimal PRIVATE Qt6::Widgets)
  target_include_directories(bench_startup_minimal PRIVATE ${CMAKE_CURRENT_LIST_DIR})
  target_include_directories(bench_startup_gui PRIVATE ${CMAKE_CURRENT_LIST_DIR})
endif()
