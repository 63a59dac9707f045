# The watchers' tests with peers or set-ups of their own (Windows only):
#   DiskSurveyWin32Test  the disk query and survey over the prefix's drives, with one more
#                        drive letter linked by tests/watch/disk_survey.py
set(QUENTHOR_WATCH_DIR ${CMAKE_CURRENT_LIST_DIR}/../watch)

if(WIN32)
  add_executable(DiskSurveyWin32Test ${QUENTHOR_WATCH_DIR}/DiskSurveyWin32Test.cpp)
  target_link_libraries(DiskSurveyWin32Test PRIVATE quenthor_test_support)
  quenthor_defaults(DiskSurveyWin32Test)
  add_test(NAME wine.DiskSurveyWin32Test
           COMMAND /usr/bin/python3 ${QUENTHOR_WATCH_DIR}/disk_survey.py ${QUENTHOR_WINEPREFIX}
                   ${CMAKE_CROSSCOMPILING_EMULATOR} $<TARGET_FILE:DiskSurveyWin32Test>)
  set_tests_properties(wine.DiskSurveyWin32Test PROPERTIES LABELS wine TIMEOUT 300)
endif()

# The client of the benchmark scripts/bench-queue-count, in both configurations (not built by
# default).
if(EXISTS ${CMAKE_CURRENT_LIST_DIR}/../../bench/QueueCountBench.cpp)
  add_executable(queue_count_bench EXCLUDE_FROM_ALL
                 ${CMAKE_CURRENT_LIST_DIR}/../../bench/QueueCountBench.cpp)
  target_link_libraries(queue_count_bench PRIVATE quenthor_core)
  quenthor_defaults(queue_count_bench)
endif()

# The three watchers end to end: the real Quenthor.exe alarms through the site relay of the
# test build (aiosmtpd on the relay port) and the alert service (http_peer.py on 36680).
if(WIN32 AND TARGET Quenthor AND TARGET QuenthorDriver)
  add_test(NAME wine.WatchersE2E
           COMMAND /usr/bin/python3 ${CMAKE_CURRENT_LIST_DIR}/../peers/smtp_server.py
                   --site-port ${QUENTHOR_RELAY_PORT}
                   --record ${CMAKE_CURRENT_BINARY_DIR}/WatchersE2E.record --
                   /usr/bin/python3 ${CMAKE_CURRENT_LIST_DIR}/../peers/http_peer.py --port 36680 --
                   /usr/bin/python3 ${CMAKE_CURRENT_LIST_DIR}/../e2e/watchers_e2e.py
                   --exe $<TARGET_FILE:Quenthor> --driver $<TARGET_FILE:QuenthorDriver>
                   --prefix ${QUENTHOR_WINEPREFIX}
                   --hotline ${QUENTHOR_HOTLINE} --web-address ${QUENTHOR_WEB_ADDRESS})
  set_tests_properties(wine.WatchersE2E PROPERTIES LABELS "wine;e2e" TIMEOUT 300
                       RESOURCE_LOCK "quenthor_prefix;quenthor-http-port;quenthor-relay-port")
endif()
