# What a window decides, with scripted views and jobs: the Windows tests run them too.
set(qv_portable_tests job_log_test.cpp next_radio_loop_test.cpp updater_presenter_test.cpp
    window_rules_test.cpp)
set(qv_portable_support "")
set(qv_portable_definitions "")
