#pragma once
// The record a step hands to its worker, and the three workers that run on it.

#include <cstdint>
#include <string>

#include "image/hex_record.h"
#include "image/image_mirror.h"
#include "protocol/radio_link.h"
#include "workflow/job_host.h"
#include "workflow/job_status.h"

namespace qv {

// The step owns it: it creates it, keeps it alive while the worker runs, reads result after
// the wait. The worker uses the link alone while it runs and never frees the record.
struct TransferJob {
    JobHost* owner = nullptr;  // whose progress the transfer moves
    RadioLink* link = nullptr;
    ImageMirror* mirror = nullptr;  // the transfer stores every data byte it sends here
    std::int32_t result = 1;        // 1 success, 0 failure; written before the worker ends
    RecordList blocks;              // a copy of region 1's blocks, sent in order
    std::int32_t roundsPerWrite = 0;
    bool stopped = false;    // the host asked to stop: the worker ended between two frames
    int blocksSent = 0;      // frames that went out whole
    TransferPace pace;       // the time left in the status texts
    std::string lastStatus;  // the status text shown last; the same one is not sent again
};

// Each worker asks the host between its frames (or link-up attempts) whether to stop.
void LinkUpWorker(TransferJob& job);
// At 38400 baud without replies, back to 19200 every roundsPerWrite blocks to resynchronise.
void StreamedTransferWorker(TransferJob& job);
// At 115200 baud, one ACK per block.
void AcknowledgedTransferWorker(TransferJob& job);

// Starts worker on the host's worker thread, waits for it and returns its result.
int RunTransferJob(JobHost& host, void (*worker)(TransferJob&), TransferJob& job);

// The speed change commands: 0x0F and the code, the lead pause, the local switch; the
// confirmed ones then run an ACK exchange at the new speed.
bool ChangeSpeedUnconfirmed(RadioLink& link, std::uint8_t speedCode);
bool ChangeSpeedConfirmed(RadioLink& link, std::uint8_t speedCode);

// One block frame: decoded from the block's text, written in one go, mirrored. A block that
// does not fit a frame or the mirror is refused before anything is sent.
bool SendBlockFrame(RadioLink& link, ImageMirror& mirror, const HexRecord& block,
                    std::uint8_t lead);

}  // namespace qv
