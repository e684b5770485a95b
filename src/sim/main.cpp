// qv-radio-sim: a radio's boot loader on a pseudo-terminal, for running update jobs without
// a radio.

#include <signal.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <string>

#include "sim/sim_cli.h"
#include "sim/simulator.h"

namespace {

// How often the main thread looks whether the jobs asked for are done.
constexpr std::chrono::milliseconds kWatchInterval{100};
// After the last radio has left the updater still reads the end command's ACK; closing the
// terminal at once could hang up under it.
constexpr std::chrono::milliseconds kLastJobGrace{500};

// Written beside the target and renamed, so a reader never sees half a file.
bool WriteWhole(const std::string& path, const void* data, std::size_t size) {
    const std::string temporary = path + ".tmp";
    {
        std::ofstream out(temporary, std::ios::binary | std::ios::trunc);
        out.write(static_cast<const char*>(data), static_cast<std::streamsize>(size));
        if (!out) {
            return false;
        }
    }
    return std::rename(temporary.c_str(), path.c_str()) == 0;
}

void WriteOutputs(const qv::SimCommandLine& line, const qv::SimReport& report,
                  std::span<const std::uint8_t> flash) {
    if (!line.reportPath.empty()) {
        const std::string json = qv::SimReportToJson(report);
        if (!WriteWhole(line.reportPath, json.data(), json.size())) {
            std::fprintf(stderr, "qv-radio-sim: cannot write %s\n", line.reportPath.c_str());
        }
    }
    if (!line.dumpPath.empty() && !WriteWhole(line.dumpPath, flash.data(), flash.size())) {
        std::fprintf(stderr, "qv-radio-sim: cannot write %s\n", line.dumpPath.c_str());
    }
}

bool MakeLink(const std::string& link, const std::string& target) {
    if (link.empty()) {
        return true;
    }
    // A link left by an earlier run that was killed hard is replaced; a file is not.
    char old[16];
    if (::readlink(link.c_str(), old, sizeof old) >= 0) {
        ::unlink(link.c_str());
    }
    return ::symlink(target.c_str(), link.c_str()) == 0;
}

}  // namespace

int main(int argc, char** argv) {
    qv::SimCliResult parsed = qv::ParseSimCommandLine(argc, argv);
    if (!parsed.line) {
        return parsed.exitCode;
    }
    qv::SimCommandLine line = std::move(*parsed.line);
    line.simulator.onJobEnd = [&line](const qv::SimReport& report,
                                      std::span<const std::uint8_t> flash) {
        WriteOutputs(line, report, flash);
    };

    // The simulator's thread inherits the blocked signals; only sigtimedwait takes them.
    sigset_t stopSignals;
    sigemptyset(&stopSignals);
    sigaddset(&stopSignals, SIGTERM);
    sigaddset(&stopSignals, SIGINT);
    pthread_sigmask(SIG_BLOCK, &stopSignals, nullptr);

    std::unique_ptr<qv::Simulator> simulator = qv::Simulator::Start(line.simulator);
    if (!simulator) {
        std::fprintf(stderr, "qv-radio-sim: cannot open a pseudo-terminal\n");
        return 1;
    }
    if (!MakeLink(line.linkPath, simulator->DevicePath())) {
        std::fprintf(stderr, "qv-radio-sim: cannot make the link %s: %s\n", line.linkPath.c_str(),
                     std::strerror(errno));
        return 1;
    }
    // The link exists by the time the path is read.
    std::printf("%s\n", simulator->DevicePath().c_str());
    std::fflush(stdout);

    const timespec watch{0, std::chrono::nanoseconds(kWatchInterval).count()};
    for (;;) {
        if (::sigtimedwait(&stopSignals, nullptr, &watch) > 0) {
            break;
        }
        if (simulator->Finished()) {
            const timespec grace{0, std::chrono::nanoseconds(kLastJobGrace).count()};
            ::sigtimedwait(&stopSignals, nullptr, &grace);
            break;
        }
    }
    simulator->Stop();
    const std::vector<std::uint8_t> flash = simulator->Flash();
    WriteOutputs(line, simulator->Report(), flash);
    if (!line.linkPath.empty()) {
        ::unlink(line.linkPath.c_str());
    }
    return 0;
}
