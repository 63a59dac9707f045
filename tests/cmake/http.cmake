# Tests of the web access against a loopback HTTP service (tests/peers/
# http_peer.py, Python's standard library) that records what it receives.
# Windows only: each tests/http/*Test.cpp runs under Wine inside the peer.
#
# The peer listens on the port of the alert service's site constant, which the
# version file shares in the loopback site (cmake/LoopbackSite.cmake). Tests
# that listen on it hold the resource lock "quenthor-http-port".
if(WIN32)
  string(REGEX MATCH "^http://127\\.0\\.0\\.1:([0-9]+)/" _alert_match "${QUENTHOR_ALERT_URL}")
  set(_http_port "${CMAKE_MATCH_1}")
  string(REGEX MATCH "^http://127\\.0\\.0\\.1:([0-9]+)/" _version_match "${QUENTHOR_VERSION_URL}")
  if(NOT _alert_match OR NOT _version_match OR NOT CMAKE_MATCH_1 STREQUAL _http_port)
    message(STATUS "HTTP peer tests skipped: the alert service and version file are not on one "
                   "loopback port (QUENTHOR_ALERT_URL, QUENTHOR_VERSION_URL)")
  else()
    file(GLOB http_tests CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/http/*Test.cpp)
    foreach(source IN LISTS http_tests)
      get_filename_component(name ${source} NAME_WE)
      add_executable(${name} ${source})
      target_link_libraries(${name} PRIVATE quenthor_test_support)
      quenthor_defaults(${name})
      add_test(NAME wine.${name}
               COMMAND /usr/bin/python3 ${CMAKE_CURRENT_SOURCE_DIR}/peers/http_peer.py
                       --port ${_http_port} -- ${CMAKE_CROSSCOMPILING_EMULATOR}
                       $<TARGET_FILE:${name}>)
      set_tests_properties(wine.${name} PROPERTIES LABELS wine TIMEOUT 300
                           RESOURCE_LOCK quenthor-http-port)
    endforeach()
  endif()
endif()
