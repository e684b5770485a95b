#pragma once
// The boot-loader simulator as a library: a radio's boot loader on the master side of a
// pseudo-terminal, served on its own thread. The updater (or a test) opens DevicePath().
//
//   qv::SimulatorOptions options;           // defaults: 19200 baud, 2 stop bits, right model
//   auto sim = qv::Simulator::Start(options);
//   ... run a job against sim->DevicePath() ...
//   sim->WaitForJobs(1, std::chrono::seconds(5));
//   qv::SimReport report = sim->Report();    // report.deviations empty on a clean job
//   std::vector<std::uint8_t> flash = sim->Flash();   // region 1, 0xD0000 bytes
//   sim->Stop();                             // also done by the destructor

#include <chrono>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "sim/adapter_seam.h"
#include "sim/sim_faults.h"
#include "sim/sim_report.h"

namespace qv {

// Region 1 of the radio's flash, 0x08010000..0x080DFFFF, which is all the simulator keeps.
inline constexpr std::uint32_t kSimFlashFirst = 0x08010000;
inline constexpr std::size_t kSimFlashSize = 0xD0000;

// After a streamed frame the radio programs the block into flash and hears nothing meanwhile.
inline constexpr std::chrono::milliseconds kSimProgrammingTime{25};
// The simulator hears a pseudo-terminal, not a UART: bytes reach it through the kernel's
// buffer work, on a busy machine a few milliseconds late, and a frame's modelled end moves
// with them. A programming gap is too short only when it falls short by more than this.
inline constexpr std::chrono::milliseconds kSimTimingAllowance{8};
// The shortest programming gap that is no deviation, in the report's unit.
inline constexpr double kSimShortestGapMs =
    std::chrono::duration<double, std::milli>(kSimProgrammingTime - kSimTimingAllowance).count();

// A USB adapter on the updater's side of the wire: its chip holds each reply of the radio for
// its latency timer, or 1 ms while the updater has the driver's low latency on.
struct SimAdapter {
    std::chrono::milliseconds latency{0};  // 0: no adapter, replies go at once
    // Asked at each reply whether the updater has low latency on; null: the adapter never
    // hears of it (a driver that ignores the flag, or no seam to tell it in a test).
    LowLatencyProbe lowLatency;
};

struct SimulatorOptions {
    int listenSpeed = 19200;             // where the boot loader waits for the probe
    int stopBits = 2;                    // what the updater must use from the first probe on
    std::string model = "MQV9051V";      // bytes 0..15 of the identification: text, 0xFF after
    std::string version = "SIM-0.9";     // the 0x50 reply: text, 0x00 after (max 16 bytes)
    bool noVersion = false;              // the 0x50 reply is sixteen 0xFF (no version)
    std::string auxVersion = "AUX-1.0";  // the 0x40 reply: text, 0x00 after
    bool highSpeed = true;               // false: acknowledges 0x0B, never listens at 115200
    bool lineRate = false;  // each byte takes its time on the wire; the programming gap is checked
    // Radios in turn on the link, as at a service bench: each leaves its boot loader with the
    // end command, and the next answers the link-up `between` later. 0: one radio for ever.
    int radios = 0;
    std::chrono::milliseconds between{1000};
    SimAdapter adapter;
    std::vector<SimFault> faults;
    // Called on the simulator's thread after each job has ended, with the report and the
    // flash of that moment (the program writes --report and --dump from here). It must not
    // call back into the Simulator.
    std::function<void(const SimReport&, std::span<const std::uint8_t> flash)> onJobEnd;
};

class Simulator {
  public:
    // Opens the pseudo-terminal and starts serving; nullptr when the terminal cannot be made.
    static std::unique_ptr<Simulator> Start(const SimulatorOptions& options);
    ~Simulator();
    Simulator(const Simulator&) = delete;
    Simulator& operator=(const Simulator&) = delete;

    // The far end, for example "/dev/pts/3": what the updater opens.
    std::string DevicePath() const;
    // A copy of what it has seen so far.
    SimReport Report() const;
    // A copy of region 1 of its flash (kSimFlashSize bytes; offset o is 0x08010000 + o).
    std::vector<std::uint8_t> Flash() const;
    // Waits until at least `count` jobs have ended (or the simulator has stopped serving).
    bool WaitForJobs(int count, std::chrono::milliseconds timeout) const;
    // True once it no longer serves: stopped, it hung up on purpose (hangup-block), or the
    // last of its radios has left.
    bool Finished() const;
    // Stops the thread and closes the terminal; safe to call twice.
    void Stop();

  private:
    struct State;
    explicit Simulator(std::unique_ptr<State> state);
    std::unique_ptr<State> state_;
};

}  // namespace qv
