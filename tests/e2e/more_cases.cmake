# Further end-to-end cases, on the harness of run_e2e.py: the Browse button's folder
# picker (run_picker.py, with its own driver), the signature self-check
# (run_signature.py), unattended runs (run_unattended.py), and launchers branded by
# vxzip brand (run_brand.py).
add_executable(e2e_picker_driver e2e_picker_driver.cpp)
target_link_libraries(e2e_picker_driver PRIVATE pellquin_flags)
target_link_options(e2e_picker_driver PRIVATE -municode)

include(languages.cmake)

if(NOT PELLQUIN_RUN_WINDOWS_TESTS)
  return()
endif()

pellquin_e2e_runner(run_picker.py e2e_picker_driver)
pellquin_e2e_runner(run_signature.py e2e_driver)
pellquin_e2e_runner(run_unattended.py e2e_driver)
pellquin_e2e_runner(run_languages.py e2e_picker_driver)
pellquin_e2e_runner(run_banner.py e2e_picker_driver)
pellquin_e2e_runner(run_brand.py e2e_picker_driver)
