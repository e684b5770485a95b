#pragma once
// The link object with the protocol's state: session mask, link-up, speed switch, ACKs.

#include <array>
#include <chrono>
#include <cstdint>
#include <functional>
#include <span>
#include <string>
#include <vector>

#include "protocol/protocol_constants.h"
#include "serial/serial_link.h"

namespace qv {

// What the last link-up heard, for qv-flash to tell a technician.
struct LinkUpAttempt {
    std::string speed;  // the speed text probed
    bool synSeen = false;
    bool ackSeen = false;
    std::size_t otherBytes = 0;  // bytes heard that were neither SYN nor ACK
};

class RadioLink : public SerialLink {
  public:
    RadioLink();
    ~RadioLink() override;

    int linkStopBits = 2;

    std::uint8_t StartSession();
    std::uint8_t SumIdentification(std::span<const std::uint8_t, kIdentificationSize> block);
    std::uint8_t SetSessionMask(std::span<const std::uint8_t, kIdentificationSize> block);
    std::string LineTail() const;

    // 0 when the boot loader answered SYN and then ACK at 19200 baud; 1 otherwise.
    int LinkUpProbe();
    void SwitchSpeed(int speedCode);
    bool AckExchange();
    bool WaitForAck();

    const std::vector<LinkUpAttempt>& LastLinkUp() const { return lastLinkUp_; }

    // Asked before each probe and each poll of the link-up: true gives the search up.
    void SetStopCheck(std::function<bool()> stopCheck) { stopCheck_ = std::move(stopCheck); }

  private:
    bool Stopping() const { return stopCheck_ && stopCheck_(); }
    // Reads single bytes until `wanted` arrives, at most kLinkUpPolls reads with a pause
    // after each miss; notes what else was heard.
    bool PollFor(std::uint8_t wanted, std::chrono::milliseconds pause, LinkUpAttempt& attempt);

    std::vector<LinkUpAttempt> lastLinkUp_;
    std::function<bool()> stopCheck_;
};

}  // namespace qv
