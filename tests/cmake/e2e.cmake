# End-to-end tests of the real Quenthor.exe under Wine (tests/e2e/*.py): each
# starts the program on a Wine desktop of its own and drives it with
# QuenthorDriver.exe. They share the prefix's lock file and registry, so they
# run one at a time.
if(WIN32)
  file(GLOB e2e_tests CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/e2e/test_*.py)
  foreach(script IN LISTS e2e_tests)
    get_filename_component(name ${script} NAME_WE)
    add_test(NAME wine.e2e.${name}
             COMMAND /usr/bin/python3 ${script} --exe $<TARGET_FILE:Quenthor>
                     --driver $<TARGET_FILE:QuenthorDriver> --prefix ${QUENTHOR_WINEPREFIX})
    set_tests_properties(wine.e2e.${name} PROPERTIES LABELS "wine;e2e" TIMEOUT 300
                         RESOURCE_LOCK quenthor_prefix)
  endforeach()
endif()
