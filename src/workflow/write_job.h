#pragma once
// The write job that runs when Write is pressed: fourteen steps from opening the port to
// closing it, ending with one outcome. One sequential procedure that asks and tells its front
// end through a JobSeat; identify is the same procedure, ended after the radio's version.

#include <array>
#include <chrono>
#include <cstdint>
#include <string>
#include <vector>

#include "image/hex_record.h"
#include "image/load_image.h"
#include "protocol/radio_link.h"
#include "workflow/job_seat.h"
#include "workflow/job_step.h"
#include "workflow/updater_settings.h"

namespace qv {

inline constexpr std::int32_t StatusPortOpenFailed = static_cast<std::int32_t>(0xFFFF0001u);
inline constexpr std::int32_t StatusPortCloseFailed = static_cast<std::int32_t>(0xFFFF0002u);
inline constexpr std::int32_t StatusModelMismatch = static_cast<std::int32_t>(0xFFFF0006u);
inline constexpr std::int32_t StatusExchangeFailed = static_cast<std::int32_t>(0xFFFF0007u);
inline constexpr std::int32_t StatusCancelled = static_cast<std::int32_t>(0xFFFF0010u);

// The whole job, or only as far as the radio's model and version.
enum class JobKind { Write, Identify };

struct WriteJobInput {
    JobKind kind = JobKind::Write;
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
    // The application's closing message; empty after a cancel and a successful identification.
    std::string closingMessage;

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
    bool interrupted = false;   // stopped by the seat after the erase: the radio is half written
    int blocksSent = 0;         // region-1 blocks whose frames went out whole
    std::chrono::milliseconds duration{0};
};

// Runs the job on the caller's thread, step after step, with no thread of its own: the front
// end runs it away from its window's thread. A write runs the fourteen steps; an identification
// runs them up to the reading of the radio's version, then ends the session as a cancel does (end
// command, close), asking nothing and writing nothing: it succeeds with the model code and the
// version in the outcome. A stop before the erase is a cancel. The seat hears Finished last.
WriteJobOutcome RunJob(RadioLink& link, JobSeat& seat, const WriteJobInput& input);

// The identification's input: the settings the link-up and the session need.
WriteJobInput IdentifyInput(const UpdaterSettings& settings);

}  // namespace qv
