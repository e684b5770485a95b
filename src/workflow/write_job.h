#pragma once
// The write job that runs when Write is pressed: fourteen steps from opening the port to
// closing it, ending with one message.

#include <array>
#include <chrono>
#include <cstdint>
#include <string>
#include <vector>

#include "image/hex_record.h"
#include "image/load_image.h"
#include "protocol/radio_link.h"
#include "workflow/job_host.h"
#include "workflow/job_step.h"
#include "workflow/updater_settings.h"

namespace qv {

inline constexpr std::int32_t StatusPortOpenFailed = static_cast<std::int32_t>(0xFFFF0001u);
inline constexpr std::int32_t StatusPortCloseFailed = static_cast<std::int32_t>(0xFFFF0002u);
inline constexpr std::int32_t StatusModelMismatch = static_cast<std::int32_t>(0xFFFF0006u);
inline constexpr std::int32_t StatusExchangeFailed = static_cast<std::int32_t>(0xFFFF0007u);
inline constexpr std::int32_t StatusCancelled = static_cast<std::int32_t>(0xFFFF0010u);

struct WriteJobInput {
    const RecordList* region1Blocks = nullptr;
    std::array<std::uint8_t, 8> versionLabel{};
    UpdaterSettings settings;
    // A station sends a radio refused for its model out of its boot loader with the end
    // command (nothing was written), so that it does not answer again and the next radio can.
    bool endSessionWhenRefused = false;
};

// The job's input for a loaded image, which must outlive it, and the user's settings.
WriteJobInput JobInputFor(const LoadedImage& image, const UpdaterSettings& settings);

// One step as it ran: which step (OpenPort .. ClosePort), its result and how long it took.
struct StepReport {
    Step step = Step::OpenPort;
    bool succeeded = false;
    std::chrono::milliseconds duration{0};
};

struct WriteJobOutcome {
    bool succeeded = false;
    std::int32_t status = 0;
    std::string closingMessage;  // the text of the last box, empty after a cancel

    // What the job learnt on the way, for the command line's reports.
    std::vector<StepReport> steps;  // the steps run, in order; the last one ended the job
    OpenFailure openFailure = OpenFailure::None;    // why the port did not open
    bool identified = false;                        // the identification block was read
    std::array<std::uint8_t, 16> modelCode{};       // its bytes 0..15
    std::array<std::uint8_t, 48> identification{};  // the whole block, to tell radios apart
    bool versionRead = false;                       // the radio's version was read
    std::array<std::uint8_t, 16> radioVersion{};    // the version reply (0xFF until read)
    std::string radioVersionText;                   // as the confirmation shows it, or "No Data"
    std::string newVersionText;                     // the image's version label as text
    bool highSpeedConfirmed = false;
    bool checksumSent = false;  // the checksum frame went out
    std::uint16_t checksum = 0;
    bool eraseStarted = false;  // the first area command went out: the radio's firmware is gone
    bool interrupted = false;   // stopped by the host after the erase: the radio is half written
    int blocksSent = 0;         // region-1 blocks whose frames went out whole
    std::chrono::milliseconds duration{0};
};

// Runs the whole job on the caller's thread (the workers on their own), as OnWrite does.
WriteJobOutcome RunWriteJob(RadioLink& link, JobHost& host, const WriteJobInput& input);

// Runs the job up to the reading of the radio's version, then ends the session as a cancel
// does (end command, close): tells which radio is on the line without asking or writing. A
// stop requested by the host is a cancel.
// Succeeds with the model code and the version in the outcome; the closing message is empty
// then. A failure ends, and shows its box, as in the write job.
WriteJobOutcome RunIdentifyJob(RadioLink& link, JobHost& host, const UpdaterSettings& settings);

}  // namespace qv
