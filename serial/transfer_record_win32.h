#pragma once

#include <windows.h>

#include <cstdint>

#include "serial/link_state.h"

// The record of one overlapped ReadFile or WriteFile: its OVERLAPPED, its
// event and the bytes it moves. From the call that starts a transfer until
// the transfer has completed the system may write the result fields and a
// read's bytes, and read a write's bytes, at any moment: meanwhile the record
// is neither freed, nor zeroed, nor used for another transfer.
namespace quarnel {

struct TransferRecord {
    OVERLAPPED ov;                    // hEvent: the record's own, unnamed, manual-reset
    uint8_t bytes[LINK_BUFFER_SIZE];  // what a read takes in, what a write sends
    TransferRecord* next;             // in AbandonedTransfers' list
};

// A record for a new transfer, or nullptr when none can be made.
TransferRecord* NewTransferRecord();
// Zeroes the result fields and resets the event of a record the system is
// done with (or never had), for its next transfer.
void RearmTransferRecord(TransferRecord& record);
// Whether the system is done with the record's transfer: its event is set
// only once the transfer has completed.
bool TransferCompleted(const TransferRecord& record);
// Frees a record the system is done with (or never had).
void FreeTransferRecord(TransferRecord* record);

// The records of transfers that did not complete, not even once cancelled:
// each is freed when its event tells that the system is done with it. Those
// the system has not finished with when the list goes are leaked on purpose:
// a transfer the system never completes would write into freed memory.
class AbandonedTransfers {
public:
    AbandonedTransfers() = default;
    ~AbandonedTransfers();
    AbandonedTransfers(const AbandonedTransfers&) = delete;
    AbandonedTransfers& operator=(const AbandonedTransfers&) = delete;

    void Add(TransferRecord* record);
    // Frees the records whose transfers have completed since.
    void FreeCompleted();

private:
    TransferRecord* head_ = nullptr;
};

}  // namespace quarnel
