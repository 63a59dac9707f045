# The relay client's tests with peers of their own, in both configurations:
#   SmtpPeerTest    scripted misbehaving relays (threads inside the test)
#   SmtpServerTest  real SMTP servers (aiosmtpd) run by tests/peers/smtp_server.py, which
#                   also parses every mail they receive with Python's email package
# and, natively, the client of the benchmark scripts/bench-smtp (not built by default).

set(QUENTHOR_SMTP_DIR ${CMAKE_CURRENT_LIST_DIR}/../smtp)

foreach(name SmtpPeerTest SmtpServerTest)
  add_executable(${name} ${QUENTHOR_SMTP_DIR}/${name}.cpp)
  target_link_libraries(${name} PRIVATE quenthor_test_support)
  quenthor_defaults(${name})
endforeach()

add_test(NAME ${QUENTHOR_TEST_LABEL}.SmtpPeerTest COMMAND SmtpPeerTest)

# Under Wine the wrapper starts the exe through the emulator itself.
add_test(NAME ${QUENTHOR_TEST_LABEL}.SmtpServerTest
         COMMAND /usr/bin/python3 ${CMAKE_CURRENT_LIST_DIR}/../peers/smtp_server.py
                 --record ${CMAKE_CURRENT_BINARY_DIR}/SmtpServerTest.record
                 -- ${CMAKE_CROSSCOMPILING_EMULATOR} $<TARGET_FILE:SmtpServerTest>)

set_tests_properties(${QUENTHOR_TEST_LABEL}.SmtpPeerTest ${QUENTHOR_TEST_LABEL}.SmtpServerTest
                     PROPERTIES LABELS ${QUENTHOR_TEST_LABEL} TIMEOUT 300)

if(NOT CMAKE_CROSSCOMPILING AND EXISTS ${CMAKE_CURRENT_LIST_DIR}/../../bench/SmtpBench.cpp)
  add_executable(smtp_bench EXCLUDE_FROM_ALL ${CMAKE_CURRENT_LIST_DIR}/../../bench/SmtpBench.cpp)
  target_link_libraries(smtp_bench PRIVATE quenthor_core)
  quenthor_defaults(smtp_bench)
endif()

# The 发信测试 button of the real Quenthor.exe under Wine, against the relay of the test build,
# which the test starts and stops itself (tests/e2e/testmail_e2e.py).
if(WIN32 AND TARGET Quenthor AND TARGET QuenthorDriver AND QUENTHOR_RELAY_HOST STREQUAL "127.0.0.1")
  add_test(NAME wine.e2e.testmail
           COMMAND /usr/bin/python3 ${CMAKE_CURRENT_LIST_DIR}/../e2e/testmail_e2e.py
                   --exe $<TARGET_FILE:Quenthor> --driver $<TARGET_FILE:QuenthorDriver>
                   --prefix ${QUENTHOR_WINEPREFIX} --relay-port ${QUENTHOR_RELAY_PORT})
  set_tests_properties(wine.e2e.testmail PROPERTIES LABELS "wine;e2e" TIMEOUT 300
                       RESOURCE_LOCK "quenthor_prefix;quenthor-relay-port")
endif()
