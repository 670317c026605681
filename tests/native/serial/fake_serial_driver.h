#pragma once

#include <algorithm>
#include <cstring>
#include <string>
#include <vector>

#include "serial/serial_driver.h"

// A driver that keeps a driver's queues in memory and records every call.
namespace quarnel {

class FakeSerialDriver : public SerialDriver {
public:
    struct Post {
        WindowHandle owner;
        uint32_t message;
        uint32_t lParam;
    };

    static PortHandle Handle() { return reinterpret_cast<PortHandle>(static_cast<intptr_t>(0x1234)); }

    // What the line side holds and how the driver behaves.
    std::string input;      // bytes waiting in the driver's input queue
    uint32_t outQueue = 0;  // reported pending output
    std::string sent;       // everything written
    bool openSucceeds = true;
    bool threadStarts = true;
    IoStatus readStatus = IoStatus::Completed;
    IoStatus writeStatus = IoStatus::Completed;
    uint32_t writeLimit = 0xFFFFFFFFu;  // bytes a write takes at most
    uint32_t readLimit = 0xFFFFFFFFu;   // bytes a read returns at most

    // What was done.
    std::vector<std::string> calls;
    std::vector<Post> posts;
    std::vector<uint32_t> readSizes;
    std::string openedPath;
    LineConfig line = {};
    CommTimeouts timeouts = {};
    int releases = 0;

    int CountCalls(const std::string& name) const {
        return static_cast<int>(std::count(calls.begin(), calls.end(), name));
    }
    int IndexOf(const std::string& name) const {
        auto it = std::find(calls.begin(), calls.end(), name);
        return it == calls.end() ? -1 : static_cast<int>(it - calls.begin());
    }

    PortHandle OpenPort(const char* devicePath) override {
        calls.push_back("OpenPort");
        openedPath = devicePath;
        return openSucceeds ? Handle() : InvalidPortHandle();
    }
    void ClosePort(PortHandle) override { calls.push_back("ClosePort"); }
    CommStatus ClearErrors(PortHandle) override {
        return calls.push_back("ClearErrors"), CommStatus{static_cast<uint32_t>(input.size()), outQueue};
    }
    void SetQueueSizes(PortHandle, uint32_t, uint32_t) override { calls.push_back("SetQueueSizes"); }
    void PurgeAll(PortHandle) override { calls.push_back("PurgeAll"), input.clear(), outQueue = 0; }
    void SetTimeouts(PortHandle, const CommTimeouts& t) override { calls.push_back("SetTimeouts"), timeouts = t; }
    void SetLine(PortHandle, const LineConfig& l) override { calls.push_back("SetLine"), line = l; }
    void SetEventMask(PortHandle, uint32_t mask) override { calls.push_back("SetEventMask " + std::to_string(mask)); }
    void ClearDtr(PortHandle) override { calls.push_back("ClearDtr"); }

    IoResult Read(PortHandle, uint8_t* bytes, uint32_t count, uint32_t) override {
        calls.push_back("Read");
        readSizes.push_back(count);
        if (readStatus == IoStatus::Failed) return {IoStatus::Failed, 0};
        const uint32_t n = std::min({count, readLimit, static_cast<uint32_t>(input.size())});
        std::memcpy(bytes, input.data(), n);
        input.erase(0, n);
        return {readStatus, n};
    }
    IoResult Write(PortHandle, const uint8_t* bytes, uint32_t count, uint32_t) override {
        calls.push_back("Write");
        if (writeStatus != IoStatus::Completed) return {writeStatus, 0};
        const uint32_t n = std::min(count, writeLimit);
        sent.append(reinterpret_cast<const char*>(bytes), n);
        return {IoStatus::Completed, n};
    }

    bool StartReceiver(LinkState&) override { return calls.push_back("StartReceiver"), threadStarts; }
    void StopReceiver() override { calls.push_back("StopReceiver"); }
    void ReleaseReceiver() override { calls.push_back("ReleaseReceiver"), ++releases; }
    void PostToOwner(WindowHandle owner, uint32_t message, uint32_t lParam) override {
        calls.push_back("PostToOwner"), posts.push_back({owner, message, lParam});
    }
};

}  // namespace quarnel
