#pragma once
// What write (and every command that writes radios) checks before a radio is touched: the
// options, the ports, the record file and the image. A run that fails here has sent nothing.

#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "cli/write_options.h"
#include "image/load_image.h"
#include "workflow/record_file.h"
#include "workflow/write_job.h"

namespace qv::cli {

struct RunSetup {
    UpdaterSettings settings;
    LoadedImage image;
    std::vector<std::string> devices;    // each --port as the run opens it
    std::shared_ptr<RecordFile> record;  // --record, or nullptr; the forced exit shares it

    // The job's input; it points into image, so the setup must outlive the jobs.
    WriteJobInput Input() const;
};

// nullptr with exitCode set when the run must not start: a usage error (2, a record that
// cannot be appended to among them), an image that is not valid (3) or a port number the table
// does not have (4). Says why on stderr, and with --json as a JSON object on stdout.
std::unique_ptr<RunSetup> PrepareRun(const std::string& command, const WriteOptions& options,
                                     int& exitCode);

}  // namespace qv::cli
