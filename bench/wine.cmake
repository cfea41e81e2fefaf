# Start-up of qrticket-gui.exe under Wine beside a minimal Win32 window (bench/startup_wine.sh
# runs both through this launcher, which watches the X server they draw on).
find_package(PkgConfig QUIET)
if(PKG_CONFIG_FOUND)
  pkg_check_modules(XCB_FOR_BENCH IMPORTED_TARGET xcb)
endif()
if(XCB_FOR_BENCH_FOUND)
  add_executable(wine_startup_probe ${CMAKE_CURRENT_LIST_DIR}/wine_startup_probe.cpp)
  target_link_libraries(wine_startup_probe PRIVATE PkgConfig::XCB_FOR_BENCH)
endif()
