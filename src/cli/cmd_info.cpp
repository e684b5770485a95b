// qv-flash info: loads and checks the image as the desktop application does and shows it.

#include <CLI/CLI.hpp>
#include <iostream>
#include <memory>
#include <string>

#include "cli/commands.h"
#include "cli/info_report.h"
#include "image/load_image.h"
#include "image/package/package_resource.h"
#include "workflow/outcome_codes.h"
#include "workflow/updater_settings.h"

namespace qv::cli {

namespace {

struct InfoOptions {
    std::string designer;
    std::string motPath;
    int maxBuffer = UpdaterSettings{}.maxBuffer;
    bool json = false;
    CLI::Option* motOption = nullptr;
    CLI::Option* maxBufferOption = nullptr;
};

int RunInfo(const InfoOptions& options) {
    const bool designer = !options.designer.empty();
    if (designer && !IsDesignerWord(options.designer)) {
        std::cerr << "qv-flash info: unknown argument: " << options.designer << "\n";
        return kExitUsage;
    }
    const bool designerOptions =
        options.motOption->count() > 0 || options.maxBufferOption->count() > 0;
    if (designerOptions && !designer) {
        std::cerr << "qv-flash info: --mot and --max-buffer are designer options\n";
        return kExitUsage;
    }
    const int useMotFile = options.motOption->count() > 0 ? 1 : 0;
    const LoadedImage image =
        LoadAndCheckImage(options.maxBuffer, options.motPath, useMotFile, CarriedPackage());
    if (!image.valid) {
        if (options.json) {
            std::cout << FormatInfoJson(image, options.maxBuffer);
        }
        std::cerr << FormatRefusal(image);
        return kExitImageNotValid;
    }
    std::cout << (options.json ? FormatInfoJson(image, options.maxBuffer)
                               : FormatInfoText(image, options.maxBuffer));
    return kExitSuccess;
}

}  // namespace

Command AddInfoCommand(CLI::App& app) {
    auto options = std::make_shared<InfoOptions>();
    auto* sub = app.add_subcommand(
        "info", "Load and check the firmware image and show its version, blocks and checksum");
    sub->add_option("DESIGNER", options->designer,
                    "The designer word: allows --mot and --max-buffer");
    options->motOption =
        sub->add_option("--mot", options->motPath, "Use this Mot (S-record) file (designer)");
    options->maxBufferOption = sub->add_option("--max-buffer", options->maxBuffer,
                                               "Region-1 transfer block size in bytes (designer)")
                                   ->check(CLI::IsMember(std::vector<int>(
                                       kMaxBufferChoices.begin(), kMaxBufferChoices.end())));
    sub->add_flag("--json", options->json, "Print one JSON object");
    sub->footer(
        "Prints version, region2-label, block-size, region1-blocks, region1-bytes, "
        "region2-blocks and checksum (with --json: valid, version, region2Label, blockSize, "
        "region1Blocks, region1Bytes, region2Blocks, checksum; a refused image: valid false, "
        "exitCode, message, reason, line).\nExit codes: 0 valid image, 2 usage error, 3 image "
        "not valid.");
    return {sub, [options] { return RunInfo(*options); }};
}

}  // namespace qv::cli
