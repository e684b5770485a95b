# The serial tests that need no pseudo-terminal: the Windows tests run them too.
set(qv_portable_tests port_names_test.cpp)
set(qv_portable_support "")
set(qv_portable_definitions "")
