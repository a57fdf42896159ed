# The zip and the MSI built by tools/dist.sh, checked under Wine (needs wixl, msitools, zip, unzip).
if(NOT TARGET Kelvane OR NOT TARGET e2e_tests)
  return()
endif()
add_test(NAME dist_test
         COMMAND bash ${CMAKE_CURRENT_LIST_DIR}/dist_test.sh $<TARGET_FILE:Kelvane> ${PROJECT_VERSION}
                 $<TARGET_FILE:e2e_tests> ${CMAKE_BINARY_DIR}/dist-test)
set_tests_properties(dist_test PROPERTIES TIMEOUT 30 RUN_SERIAL TRUE)
