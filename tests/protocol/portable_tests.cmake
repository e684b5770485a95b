# The protocol tests that need no pseudo-terminal: the Windows tests run them too.
set(qv_portable_tests frames_test.cpp)
set(qv_portable_support "")
set(qv_portable_definitions "")
