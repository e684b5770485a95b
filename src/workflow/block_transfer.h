#pragma once
// Step 10's two ways of sending region 1, and the frames and speed changes they are made of.

#include <cstdint>
#include <string>

#include "image/hex_record.h"
#include "image/image_mirror.h"
#include "protocol/radio_link.h"
#include "workflow/job_seat.h"
#include "workflow/job_status.h"

namespace qv {

// One transfer of region 1's blocks, in list order.
struct BlockTransfer {
    JobSeat* seat = nullptr;  // told the progress, asked whether to stop between frames
    RadioLink* link = nullptr;
    ImageMirror* mirror = nullptr;  // the transfer stores every data byte it sends here
    const RecordList* blocks = nullptr;
    std::int32_t roundsPerWrite = 0;
    bool stopped = false;    // the seat asked to stop: the transfer ended between two frames
    int blocksSent = 0;      // frames that went out whole
    TransferPace pace;       // the time left in the status texts
    std::string lastStatus;  // the status text shown last; the same one is not sent again
};

// At 38400 baud without replies, back to 19200 every roundsPerWrite blocks to resynchronise.
// True when every block went out and the line is back at 19200.
bool SendStreamed(BlockTransfer& transfer);
// At 115200 baud, one ACK per block. True when every block was acknowledged.
bool SendAcknowledged(BlockTransfer& transfer);

// The speed change commands: 0x0F and the code, the lead pause, the local switch; the
// confirmed ones then run an ACK exchange at the new speed.
bool ChangeSpeedUnconfirmed(RadioLink& link, std::uint8_t speedCode);
bool ChangeSpeedConfirmed(RadioLink& link, std::uint8_t speedCode);

// One block frame: decoded from the block's text, written in one go, mirrored. A block that
// does not fit a frame or the mirror is refused before anything is sent.
bool SendBlockFrame(RadioLink& link, ImageMirror& mirror, const HexRecord& block,
                    std::uint8_t lead);

}  // namespace qv
