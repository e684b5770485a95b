#include "cli/run_setup.h"

#include "cli/console.h"
#include "cli/info_report.h"
#include "cli/json_failure.h"
#include "cli/port_argument.h"
#include "image/package/package_resource.h"
#include "workflow/outcome_codes.h"

namespace qv::cli {

namespace {

int Refuse(const std::string& command, const WriteOptions& options, const std::string& reason,
           int exitCode, const JsonValue& fields = JsonValue::object()) {
    if (options.json) {
        PrintJsonFailure(reason, exitCode, fields);
    }
    PrintLine(stderr, "qv-flash " + command + ": " + reason);
    return exitCode;
}

int RefuseImage(const LoadedImage& image, bool json) {
    if (json) {
        PrintLine(stdout, ImageRefusalJson(image));
    }
    if (!image.reason.empty()) {
        const std::string where = image.line > 0 ? "line " + std::to_string(image.line) + ": " : "";
        PrintLine(stderr, where + image.reason);
    }
    PrintLine(stderr, kImageNotValidMessage);
    return kExitImageNotValid;
}

}  // namespace

WriteJobInput RunSetup::Input() const {
    return JobInputFor(image, settings);
}

std::unique_ptr<RunSetup> PrepareRun(const std::string& command, const WriteOptions& options,
                                     int& exitCode) {
    const std::string problem = CheckWriteOptions(options);
    if (!problem.empty()) {
        exitCode = Refuse(command, options, problem, kExitUsage);
        return nullptr;
    }
    auto setup = std::make_unique<RunSetup>();
    // Given, even empty, --record must name a file: a run the shop meant to record is not run
    // unrecorded.
    if (options.recordPath) {
        const std::string& path = *options.recordPath;
        std::string reason;
        setup->record = RecordFile::Open(path, reason);
        if (!setup->record) {
            exitCode = Refuse(command, options, "cannot record to \"" + path + "\": " + reason,
                              kExitUsage, {{"record", path}});
            return nullptr;
        }
    }
    for (const std::string& port : options.ports) {
        setup->devices.push_back(ResolvePort(port));
        if (setup->devices.back().empty()) {
            if (options.json) {
                PrintJsonFailure(NoSuchPortMessage(port), kExitPortNotOpened, {{"port", port}});
            }
            PrintLine(stderr, NoSuchPortMessage(port));
            exitCode = kExitPortNotOpened;
            return nullptr;
        }
    }
    setup->settings = SettingsFrom(options);
    setup->image = LoadAndCheckImage(setup->settings.maxBuffer, setup->settings.motFilePath,
                                     setup->settings.useMotFile, CarriedPackage());
    if (!setup->image.valid) {
        exitCode = RefuseImage(setup->image, options.json);
        return nullptr;
    }
    return setup;
}

}  // namespace qv::cli
