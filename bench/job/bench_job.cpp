// A whole update of the carried demo package against the simulated radio, in each transfer
// mode: the job's time beside the time its protocol pauses (and, streamed, the frames' time on
// the wire) add up to. Goal: at most 2 % more. The streamed job runs once more against a radio
// that models the line's byte times and checks the programming gap after every frame. Last,
// the acknowledged job on the modelled line behind a USB adapter that holds each reply 16 ms,
// with the driver's low latency honoured and ignored, beside the same job without an adapter.

#include <benchmark/benchmark.h>

#include <stdlib.h>

#include <algorithm>
#include <cstdio>
#include <optional>
#include <string>

#include "image/load_image.h"
#include "image/package/package_resource.h"
#include "pause_budget.h"
#include "pty_round_trip.h"
#include "serial/serial_timing.h"
#include "serial/wire_time.h"
#include "sim/simulator.h"
#include "workflow/write_job.h"

namespace qv::bench {
namespace {

// Answers the question with yes and shows nothing: the job's own time is what is measured.
class SilentSeat : public JobSeat {
  public:
    bool ConfirmVersionChange(const std::optional<std::string>&, const std::string&) override {
        return true;
    }
};

// What the streamed frames of these blocks spend on the wire at 38400 baud, 8N2.
Seconds StreamedWireTime(const RecordList& blocks) {
    const LineSettings streamedLine{38400, 'N', 8, 2};
    Seconds total{0};
    for (const HexRecord& block : blocks) {
        if (block.count != 0) {
            total +=
                WireTime(streamedLine, static_cast<std::size_t>(block.count) + 7) + kWireTimeSlack;
        }
    }
    return total;
}

void WholeUpdate(benchmark::State& state, bool highSpeed, bool lineRate) {
    const LoadedImage image = LoadAndCheckImage(256, "", 0, CarriedPackage());
    if (!image.valid) {
        state.SkipWithError("the carried package is not valid");
        return;
    }
    const int blocks =
        static_cast<int>(std::count_if(image.region1Blocks.begin(), image.region1Blocks.end(),
                                       [](const HexRecord& block) { return block.count != 0; }));
    const WriteJobInput input = JobInputFor(image, UpdaterSettings{});

    for (auto _ : state) {
        SimulatorOptions options;  // listening at 19200, the second speed probed
        options.highSpeed = highSpeed;
        options.lineRate = lineRate;
        auto sim = Simulator::Start(options);
        if (!sim) {
            state.SkipWithError("no pseudo-terminal");
            return;
        }
        RadioLink link;
        link.SetDevicePath(sim->DevicePath());
        SilentSeat seat;
        const PauseCosts before = MeasurePauseCosts();
        const auto start = std::chrono::steady_clock::now();
        const WriteJobOutcome outcome = RunJob(link, seat, input);
        const Seconds job = std::chrono::steady_clock::now() - start;
        if (!outcome.succeeded || outcome.highSpeedConfirmed != highSpeed) {
            state.SkipWithError("the job did not succeed as expected");
            return;
        }
        // The machine's load moves while the job runs: take the pauses' cost on both sides
        // and keep the quieter one.
        const PauseCosts after = MeasurePauseCosts();
        const PauseCosts costs{std::min(before.sleep5, after.sleep5),
                               std::min(before.spin25, after.spin25)};
        JobShape shape;
        shape.blocks = blocks;
        shape.highSpeed = highSpeed;
        shape.streamedWireTime = highSpeed ? Seconds(0) : StreamedWireTime(image.region1Blocks);
        const Seconds pauses = PauseBudget(shape, costs);
        state.SetIterationTime(job.count());
        state.counters["job_s"] = job.count();
        state.counters["pauses_s"] = pauses.count();
        state.counters["over_%"] = 100.0 * (job / pauses - 1.0);
        state.counters["sleep5_ms"] = costs.sleep5.count() * 1000.0;
        state.counters["spin25_ms"] = costs.spin25.count() * 1000.0;
        state.counters["blocks"] = blocks;
        // Beyond its pauses, the acknowledged transfer waits for each block's ACK to come
        // back through the pseudo-terminal: shown apart, it is the terminal's, not the job's.
        const Seconds roundTrip = MeasurePtyRoundTrip();
        const Seconds withRoundTrips = pauses + (highSpeed ? blocks * roundTrip : Seconds(0));
        state.counters["pty_rtt_us"] = roundTrip.count() * 1e6;
        state.counters["over_rtt_%"] = 100.0 * (job / withRoundTrips - 1.0);
        sim->WaitForJobs(1, std::chrono::seconds(5));
        const SimReport report = sim->Report();
        state.counters["deviations"] = static_cast<double>(report.deviations.size());
        std::printf("%s%s: job %.3f s, pauses%s %.3f s, %+.2f %%",
                    highSpeed ? "acknowledged" : "streamed", lineRate ? " at line rate" : "",
                    job.count(), highSpeed ? "" : " and wire time", pauses.count(),
                    100.0 * (job / pauses - 1.0));
        if (lineRate && !report.jobLog.empty()) {
            std::printf("; shortest programming gap %.1f ms, %zu deviations",
                        report.jobLog[0].shortestProgrammingGapMs, report.deviations.size());
        }
        if (highSpeed) {
            std::printf("; with one pty round trip per block (%.0f us) %.3f s, %+.2f %%",
                        roundTrip.count() * 1e6, withRoundTrips.count(),
                        100.0 * (job / withRoundTrips - 1.0));
        }
        std::printf("\n");
    }
}

// The FTDI chip's default latency timer.
constexpr std::chrono::milliseconds kAdapterLatency{16};

enum class Adapter { None, LowLatencyHonoured, LowLatencyIgnored };

// One acknowledged update on the modelled line; nothing when it did not go as expected.
std::optional<Seconds> TimedUpdate(const WriteJobInput& input, Adapter adapter) {
    SimulatorOptions options;
    options.lineRate = true;
    if (adapter != Adapter::None) {
        options.adapter.latency = kAdapterLatency;
    }
    if (adapter == Adapter::LowLatencyHonoured) {
        // The updater's TIOCSSERIAL reaches the USB shim built into this program.
        options.adapter.lowLatency = ShimLowLatencyProbe();
    }
    auto sim = Simulator::Start(options);
    if (!sim) {
        return std::nullopt;
    }
    RadioLink link;
    link.SetDevicePath(sim->DevicePath());
    SilentSeat seat;
    const auto start = std::chrono::steady_clock::now();
    const WriteJobOutcome outcome = RunJob(link, seat, input);
    const Seconds job = std::chrono::steady_clock::now() - start;
    sim->WaitForJobs(1, std::chrono::seconds(5));
    const SimReport report = sim->Report();
    const bool heldAsModelled =
        adapter == Adapter::LowLatencyHonoured
            ? report.repliesHeld > 0 && report.repliesHeldLowLatency == report.repliesHeld
            : report.repliesHeldLowLatency == 0;
    if (!outcome.succeeded || !outcome.highSpeedConfirmed || !report.deviations.empty() ||
        !heldAsModelled) {
        return std::nullopt;
    }
    return job;
}

// The three updates side by side in one run, so that the machine's load is the same for all.
// Goal: with low latency honoured, at most 1.05 x the update without an adapter.
void BehindAUsbAdapter(benchmark::State& state) {
    const LoadedImage image = LoadAndCheckImage(256, "", 0, CarriedPackage());
    char flagsDir[] = "/tmp/qv-bench-serial-flags-XXXXXX";
    if (!image.valid || ::mkdtemp(flagsDir) == nullptr) {
        state.SkipWithError("no package or no directory for the shim's serial flags");
        return;
    }
    ::setenv("QV_SHIM_SERIAL_DIR", flagsDir, 1);
    const WriteJobInput input = JobInputFor(image, UpdaterSettings{});
    for (auto _ : state) {
        const auto floor = TimedUpdate(input, Adapter::None);
        const auto honoured = TimedUpdate(input, Adapter::LowLatencyHonoured);
        const auto ignored = TimedUpdate(input, Adapter::LowLatencyIgnored);
        if (!floor || !honoured || !ignored) {
            state.SkipWithError("an update did not go as expected");
            break;
        }
        state.SetIterationTime((*floor + *honoured + *ignored).count());
        state.counters["floor_s"] = floor->count();
        state.counters["honoured_s"] = honoured->count();
        state.counters["ignored_s"] = ignored->count();
        state.counters["honoured_x"] = *honoured / *floor;
        state.counters["ignored_x"] = *ignored / *floor;
        std::printf(
            "acknowledged at line rate: no adapter %.3f s; behind a %lld ms adapter, low latency "
            "honoured %.3f s (%.3f x), ignored %.3f s (%.3f x)\n",
            floor->count(), static_cast<long long>(kAdapterLatency.count()), honoured->count(),
            *honoured / *floor, ignored->count(), *ignored / *floor);
    }
    ::unsetenv("QV_SHIM_SERIAL_DIR");
    const std::string removeDir = std::string("rm -rf ") + flagsDir;
    [[maybe_unused]] const int removed = std::system(removeDir.c_str());
}

BENCHMARK_CAPTURE(WholeUpdate, acknowledged, true, false)
    ->Iterations(1)
    ->UseManualTime()
    ->Unit(benchmark::kSecond);
BENCHMARK_CAPTURE(WholeUpdate, streamed, false, false)
    ->Iterations(1)
    ->UseManualTime()
    ->Unit(benchmark::kSecond);
BENCHMARK_CAPTURE(WholeUpdate, streamed_line_rate, false, true)
    ->Iterations(1)
    ->UseManualTime()
    ->Unit(benchmark::kSecond);
BENCHMARK(BehindAUsbAdapter)->Iterations(1)->UseManualTime()->Unit(benchmark::kSecond);

}  // namespace
}  // namespace qv::bench

BENCHMARK_MAIN();
