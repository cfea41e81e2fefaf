# Delay-loaded imports for a MinGW-w64 program: a DLL named here is loaded when the program
# first calls into it, not at start-up. qrticket_delay_import(TARGET LIBRARY DLL) makes an
# import library of the delay-load kind for every function the toolchain's libLIBRARY.a
# imports from DLL, under the same name in a folder that TARGET's link searches first, so
# every -lLIBRARY of TARGET (its own and its libraries') takes it. The loader stub
# (__delayLoadHelper2) is MinGW-w64's own, in libmingwex. What libLIBRARY.a holds besides
# imports (ws2_32's in6addr_any, for one) is not there: a use of it fails to link.
function(qrticket_delay_import target library dll)
  find_file(QRTICKET_IMPORT_LIB_${library} lib${library}.a PATHS ${CMAKE_FIND_ROOT_PATH}/lib
            NO_DEFAULT_PATH)
  set(imports ${QRTICKET_IMPORT_LIB_${library}})
  if(NOT imports OR NOT CMAKE_DLLTOOL OR NOT CMAKE_NM)
    message(FATAL_ERROR "delay-loaded ${dll}: lib${library}.a, dlltool or nm not found")
  endif()
  set(folder ${CMAKE_CURRENT_BINARY_DIR}/delay-load)
  set(def ${folder}/${library}.def)
  set(delay ${folder}/lib${library}.a)
  add_custom_command(OUTPUT ${delay}
    COMMAND ${CMAKE_COMMAND} -DNM=${CMAKE_NM} -DIMPORTS=${imports} -DDLL=${dll} -DDEF=${def}
            -P ${PROJECT_SOURCE_DIR}/cmake/delay_import_def.cmake
    COMMAND ${CMAKE_DLLTOOL} --dllname ${dll} --input-def ${def} --output-delaylib ${delay}
    DEPENDS ${imports} ${PROJECT_SOURCE_DIR}/cmake/delay_import_def.cmake
    COMMENT "Delay-loaded imports of ${dll}"
    VERBATIM)
  add_custom_target(${target}_delay_${library} DEPENDS ${delay})
  add_dependencies(${target} ${target}_delay_${library})
  target_link_directories(${target} BEFORE PRIVATE ${folder})
  set_property(TARGET ${target} APPEND PROPERTY LINK_DEPENDS ${delay})
endfunction()
