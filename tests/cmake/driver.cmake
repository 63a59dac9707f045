# QuenthorDriver.exe (tests/driver): a console tool that finds Quenthor's
# window on a Wine desktop and acts on it as a user would. The end-to-end
# tests (e2e.cmake) use it; so can a person who wants to look.
if(WIN32)
  add_executable(QuenthorDriver driver/QuenthorDriver.cpp driver/DriverWindows.cpp)
  target_include_directories(QuenthorDriver PRIVATE ${CMAKE_CURRENT_SOURCE_DIR})
  quenthor_defaults(QuenthorDriver)
  target_link_options(QuenthorDriver PRIVATE -municode)
endif()
