# The Office bridge needs the UNO runtime, so its test and tool exist only
# where the programs are built.
if(TV_PROGRAMS)
  tv_unit(test_CalcSDK SOURCES unit/test_CalcSDK.cpp ${TV_ROOT}/converter/CalcSDK.cpp
          ${TV_ROOT}/converter/CalcCom.cpp
          OBJECTS tv_record tv_common LIBS uno)
  add_dependencies(test_CalcSDK unoheaders)
  set_tests_properties(test_CalcSDK PROPERTIES ENVIRONMENT
    "LANG=C.UTF-8;TV_SOURCE=${TV_ROOT};LD_LIBRARY_PATH=/usr/lib/libreoffice/program")

  # tv-capturedump: the bridge on the clipboard, the cell table as JSON.
  add_executable(tv-capturedump support/CaptureDump.cpp ${TV_ROOT}/converter/CalcSDK.cpp
                 ${TV_ROOT}/converter/CalcCom.cpp)
  add_dependencies(tv-capturedump unoheaders)
  target_include_directories(tv-capturedump PRIVATE ${CMAKE_CURRENT_SOURCE_DIR}/support)
  target_link_libraries(tv-capturedump PRIVATE tv_record tv_common uno)
  set_target_properties(tv-capturedump PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/tests)
endif()
