# The APIKEY field end to end: the real Quenthor.exe verifies a key with the
# alert service of the test build (http_peer.py on 36680), keeps it across a
# restart and gives it up on 更改. (driver.cmake comes later in the include
# order, so the targets are named only through generator expressions.)
if(WIN32)
  add_test(NAME wine.AlertKeyE2E
           COMMAND /usr/bin/python3 ${CMAKE_CURRENT_LIST_DIR}/../peers/http_peer.py --port 36680 --
                   /usr/bin/python3 ${CMAKE_CURRENT_LIST_DIR}/../e2e/alertkey_e2e.py
                   --exe $<TARGET_FILE:Quenthor> --driver $<TARGET_FILE:QuenthorDriver>
                   --prefix ${QUENTHOR_WINEPREFIX} --alert-url ${QUENTHOR_ALERT_URL})
  set_tests_properties(wine.AlertKeyE2E PROPERTIES LABELS "wine;e2e" TIMEOUT 300
                       RESOURCE_LOCK "quenthor_prefix;quenthor-http-port")
endif()
