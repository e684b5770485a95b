// One update job as the wire sequence lays it out, step by step.

#include <array>
#include <thread>

#include "scripted_updater.h"

namespace qv::test {

namespace {

// The radio must read the bytes of the old speed before the line changes under them.
constexpr auto kSpeedCommandPause = 25ms;
// Time for the radio to notice a line change before the next byte.
constexpr auto kLineSettle = 30ms;
// A poll of the link-up; the real updater waits 500 ms, a test need not.
constexpr auto kLinkUpPoll = 100ms;
constexpr int kLinkUpPolls = 5;
// The real updater waits 2000 ms for the radio's ACK at 115200.
constexpr auto kHighSpeedAnswer = 300ms;
// The radio programs a streamed block once its frame has left the line and needs 25 ms for
// it; a pseudo-terminal takes the frame at once, so the script first waits its wire time.
constexpr auto kProgrammingPause = 28ms;
// What an updater that forgets the wire time leaves between its frames.
constexpr auto kStreamedPauseTooShort = 10ms;
constexpr int kStreamedBaud = 38400;
constexpr int kDataBits = 8;
constexpr auto kAcknowledgedPause = 5ms;
constexpr auto kWaitForAck = 3000ms;
constexpr std::uint8_t kClockSeed = 77;  // minute + second, as the updater draws it

const std::array<std::uint8_t, 8> kProbe = {'Q', 'M', 'T', 'R', 'Z', 'K', 0xA4, 0x2E};

struct Job {
    ScriptedUpdater& link;
    const JobScript& script;
    JobOutcome& outcome;
    std::vector<std::uint8_t> mirror = std::vector<std::uint8_t>(0xD0000, 0xFF);

    bool Is(Mutation mutation) const { return script.mutation == mutation; }
    bool Line(int baud) {
        const bool set = link.SetLine(baud, script.stopBits);
        std::this_thread::sleep_for(kLineSettle);
        return set;
    }
    bool Poll(std::uint8_t wanted) {
        for (int i = 0; i < kLinkUpPolls; ++i) {
            std::optional<std::vector<std::uint8_t>> got = link.Read(1, kLinkUpPoll);
            if (got && (*got)[0] == wanted) {
                return true;
            }
        }
        return false;
    }
    bool SpeedChange(std::uint8_t code, int baud, bool confirmed) {
        if (!link.Write({0x0F}) || !link.Write({code})) {
            return false;
        }
        std::this_thread::sleep_for(kSpeedCommandPause);
        if (!(Is(Mutation::FramesAt19200) && baud == 38400)) {
            Line(baud);
        }
        return !confirmed || link.AckExchange();
    }
    bool Command(std::uint8_t command) {
        return link.Write({command}) && link.ReadAck(kWaitForAck);
    }

    bool LinkUp();
    bool Identify();
    bool ReadVersions();
    bool RequestHighSpeed();
    bool SendAreas();
    bool SendFrame(std::uint8_t lead, std::size_t index);
    // Block frame i at 38400 baud: start bit, data bits, stop bits for each of its bytes.
    std::chrono::microseconds FrameWireTime(std::size_t index) const {
        const long long bytes = static_cast<long long>(script.blocks[index].data.size()) + 7;
        const long long bits = 1 + kDataBits + script.stopBits;
        return std::chrono::microseconds(bytes * bits * 1'000'000 / kStreamedBaud);
    }
    bool TransferAcknowledged();
    bool TransferStreamed();
    bool SendChecksum();
};

bool Job::LinkUp() {
    for (int speed : script.probeSpeeds) {
        Line(speed);
        link.Write({kProbe.begin(), kProbe.end()});
        if (Poll(0x16)) {
            Line(19200);
            return Poll(0x06);
        }
    }
    return false;
}

bool Job::Identify() {
    std::optional<std::vector<std::uint8_t>> block;
    if (!link.Write({0x02}) || !(block = link.Read(48, 1000ms))) {
        return false;
    }
    outcome.identification = *block;
    std::uint8_t idSum = 0;
    for (int i = 32; i < 44; ++i) {
        idSum = static_cast<std::uint8_t>(idSum + (*block)[i]);
    }
    std::uint8_t session = script.unencrypted ? idSum : kClockSeed;
    if (Is(Mutation::BadSessionByte)) {
        session = static_cast<std::uint8_t>(idSum == 0xF0 ? 0xF1 : 0xF0);
    }
    if (!link.Write({session}, false) || !link.AckExchange()) {
        return false;
    }
    link.mask = idSum ^ session;
    return true;
}

bool Job::ReadVersions() {
    if (!link.Write({0x40}, !Is(Mutation::UnmaskedAfterSession)) || !link.Read(16, 1000ms) ||
        !link.AckExchange()) {
        return false;
    }
    std::optional<std::vector<std::uint8_t>> version;
    if (!link.Write({0x50}) || !(version = link.Read(16, 1000ms)) || !link.AckExchange()) {
        return false;
    }
    outcome.version = *version;
    return true;
}

bool Job::RequestHighSpeed() {
    if (!link.Write({0x0B}) || !link.ReadAck(2000ms)) {
        return false;
    }
    link.SetLine(115200, script.stopBits);
    std::this_thread::sleep_for(kSpeedCommandPause);
    if (!link.Write({0x06})) {
        return false;
    }
    if (link.ReadAck(kHighSpeedAnswer)) {
        outcome.highSpeed = true;
        return link.Write({0x06});
    }
    Line(19200);
    return link.Write({0x06}) && link.Read(1, 1000ms).has_value();
}

bool Job::SendAreas() {
    if (Is(Mutation::EndBeforeAreas)) {
        Command(0x45);
        return false;
    }
    std::vector<int> areas = {10, 4, 5, 6, 7, 8, 9};
    if (Is(Mutation::AreasSwapped)) {
        std::swap(areas[2], areas[3]);
    }
    for (int area : areas) {
        const std::uint8_t tens = static_cast<std::uint8_t>('0' + area / 10);
        const std::uint8_t ones = static_cast<std::uint8_t>('0' + area % 10);
        if (!link.Write({0x52, tens, ones}) || !link.ReadAck(kWaitForAck)) {
            return false;
        }
    }
    return true;
}

bool Job::SendFrame(std::uint8_t lead, std::size_t index) {
    Block block = script.blocks[index];
    if (Is(Mutation::BlocksOutOfOrder) && (index == 1 || index == 2)) {
        block = script.blocks[3 - index];
    }
    const bool outside = Is(Mutation::BlockOutsideRegion) && index == 1;
    const std::uint32_t address = outside ? 0x08000000 : block.address;
    std::vector<std::uint8_t> frame = {lead,
                                       static_cast<std::uint8_t>(address >> 24),
                                       static_cast<std::uint8_t>(address >> 16),
                                       static_cast<std::uint8_t>(address >> 8),
                                       static_cast<std::uint8_t>(address),
                                       static_cast<std::uint8_t>(block.data.size())};
    std::uint8_t sum = 0;
    for (std::size_t k = 0; k < block.data.size(); ++k) {
        frame.push_back(block.data[k]);
        sum = static_cast<std::uint8_t>(sum + block.data[k]);
        if (!outside) {
            mirror[address - 0x08010000 + k] = block.data[k];
        }
    }
    frame.push_back(static_cast<std::uint8_t>(sum + (Is(Mutation::BadBlockSum) && index == 1)));
    return link.Write(frame);
}

bool Job::TransferAcknowledged() {
    if (!SpeedChange(Is(Mutation::BadSpeedCode) ? 5 : 4, 115200, true)) {
        return false;
    }
    for (std::size_t i = 0; i < script.blocks.size(); ++i) {
        if (!SendFrame(0x58, i) || !link.ReadAck(1000ms)) {
            outcome.failedAt = "block " + std::to_string(i);
            return false;
        }
        std::this_thread::sleep_for(kAcknowledgedPause);
    }
    return true;
}

bool Job::TransferStreamed() {
    if (!SpeedChange(2, 38400, false)) {
        return false;
    }
    int round = 0;
    for (std::size_t i = 0; i < script.blocks.size(); ++i) {
        if (round == script.roundsPerWrite) {
            round = 0;
            if (!SpeedChange(1, 19200, true) || !SpeedChange(2, 38400, false)) {
                outcome.failedAt = "resynchronisation before block " + std::to_string(i);
                return false;
            }
        }
        ++round;
        if (!SendFrame(0x57, i)) {
            outcome.failedAt = "block " + std::to_string(i);
            return false;
        }
        if (Is(Mutation::NoProgrammingTime)) {
            std::this_thread::sleep_for(kStreamedPauseTooShort);
        } else {
            std::this_thread::sleep_for(FrameWireTime(i) + kProgrammingPause);
        }
    }
    if (!SpeedChange(1, 19200, !Is(Mutation::SkipResyncAck))) {
        outcome.failedAt = "transfer end";
        return false;
    }
    return true;
}

bool Job::SendChecksum() {
    const std::uint32_t last = Is(Mutation::WrongChecksumRange) ? 0xCFFFF : 0xCFFEF;
    std::uint16_t sum = 0;
    for (std::uint32_t o = 0; o <= last; ++o) {
        sum = static_cast<std::uint16_t>(sum + mirror[o]);
    }
    const std::uint32_t end = 0x08010000 + last;
    return link.Write({0xF3}) && link.Write({0x08, 0x01, 0x00, 0x00}) &&
           link.Write({static_cast<std::uint8_t>(end >> 24), static_cast<std::uint8_t>(end >> 16),
                       static_cast<std::uint8_t>(end >> 8), static_cast<std::uint8_t>(end)}) &&
           link.Write({static_cast<std::uint8_t>(sum >> 8), static_cast<std::uint8_t>(sum)}) &&
           link.ReadAck(kWaitForAck);
}

}  // namespace

JobOutcome RunJob(const std::string& device, const JobScript& script) {
    JobOutcome outcome;
    ScriptedUpdater link(device);
    link.purge = script.mutation != Mutation::NoPurge;
    Job job{link, script, outcome};
    const auto fail = [&](const char* step) {
        if (outcome.failedAt.empty()) {
            outcome.failedAt = step;
        }
        return outcome;
    };
    if (!link.IsOpen()) {
        return fail("open");
    }
    if (!job.LinkUp()) {
        return fail("link-up");
    }
    if (!job.Identify()) {
        return fail("identification");
    }
    if (!job.ReadVersions()) {
        return fail("versions");
    }
    if (script.cancel) {
        return job.Command(0x45) ? outcome : fail("end");
    }
    if (!job.RequestHighSpeed()) {
        return fail("high speed");
    }
    if (!job.SendAreas()) {
        return fail("areas");
    }
    const bool sent = outcome.highSpeed ? job.TransferAcknowledged() : job.TransferStreamed();
    if (!sent) {
        return fail("transfer");
    }
    if (!job.SendChecksum()) {
        return fail("checksum");
    }
    if (!job.Command(0x5B)) {
        return fail("5B");
    }
    return job.Command(0x45) ? outcome : fail("end");
}

}  // namespace qv::test
