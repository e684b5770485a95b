# The image tests that need neither a pseudo-terminal nor a tool: the Windows tests run them too.
set(qv_portable_tests
  srec_reader_test.cpp
  transfer_blocks_test.cpp
  image_checks_test.cpp
  firmware_image_test.cpp)
set(qv_portable_support srec_text.cpp)
set(qv_portable_definitions "")
if(NOT QV_FIRMWARE_PACKAGE)
  set(qv_portable_definitions QV_CARRIES_DEMO_PACKAGE)
endif()
