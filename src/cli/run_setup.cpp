#include "cli/run_setup.h"

#include "cli/console.h"
#include "cli/info_report.h"
#include "cli/port_argument.h"
#include "image/package/package_resource.h"
#include "workflow/outcome_codes.h"

namespace qv::cli {

namespace {

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
        PrintLine(stderr, "qv-flash " + command + ": " + problem);
        exitCode = kExitUsage;
        return nullptr;
    }
    auto setup = std::make_unique<RunSetup>();
    if (!options.recordPath.empty()) {
        std::string reason;
        setup->record = RecordFile::Open(options.recordPath, reason);
        if (!setup->record) {
            PrintLine(stderr, "qv-flash " + command + ": cannot record to " + options.recordPath +
                                  ": " + reason);
            exitCode = kExitUsage;
            return nullptr;
        }
    }
    for (const std::string& port : options.ports) {
        setup->devices.push_back(ResolvePort(port));
        if (setup->devices.back().empty()) {
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
