#include "serial/transfer_record_win32.h"

#include <new>

namespace quarnel {

TransferRecord* NewTransferRecord() {
    auto* record = new (std::nothrow) TransferRecord{};
    if (record == nullptr) return nullptr;
    record->ov.hEvent = CreateEventA(nullptr, TRUE, FALSE, nullptr);
    if (record->ov.hEvent != nullptr) return record;
    delete record;
    return nullptr;
}

void RearmTransferRecord(TransferRecord& record) {
    HANDLE event = record.ov.hEvent;
    ZeroMemory(&record.ov, sizeof record.ov);
    record.ov.hEvent = event;
    ResetEvent(event);
}

bool TransferCompleted(const TransferRecord& record) {
    return WaitForSingleObject(record.ov.hEvent, 0) == WAIT_OBJECT_0 && HasOverlappedIoCompleted(&record.ov);
}

void FreeTransferRecord(TransferRecord* record) {
    if (record == nullptr) return;
    CloseHandle(record->ov.hEvent);
    delete record;
}

AbandonedTransfers::~AbandonedTransfers() { FreeCompleted(); }

void AbandonedTransfers::Add(TransferRecord* record) {
    if (record == nullptr) return;
    record->next = head_;
    head_ = record;
}

void AbandonedTransfers::FreeCompleted() {
    for (TransferRecord** link = &head_; *link != nullptr;) {
        TransferRecord* record = *link;
        if (!TransferCompleted(*record)) {
            link = &record->next;
            continue;
        }
        *link = record->next;
        FreeTransferRecord(record);
    }
}

}  // namespace quarnel
