# The job's texts and records, and the record file: no port, no job, nothing to wait for. The
# Windows tests run them too.
set(qv_portable_tests job_status_test.cpp json_line_test.cpp record_file_test.cpp
    version_text_test.cpp)
set(qv_portable_support "")
set(qv_portable_definitions "")
