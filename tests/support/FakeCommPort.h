// An in-memory serial port for the link tests. A FakePortFactory keeps one
// FakeDevice per device name; the ports it creates open those devices, hand
// out the bytes a test (or a responder) has made "arrive", and record every
// write. Nothing waits and nothing touches the operating system.
#pragma once

#include "serial/CommPort.h"

#include <cstdint>
#include <deque>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace velmora::test {

struct FakeDevice {
    bool present = true;      // false: open fails with the not-found text; an open port fails its reads
    bool busy = false;        // another program holds it: open fails with the busy text
    CommDeviceType type = CommDeviceType::Serial;
    bool failNextRead = false;
    bool failWrites = false;
    bool unplugWhenDrained = false;  // pulled out once the bytes already sent have been read
    bool keepInputOnDiscard = false; // a discard leaves the bytes already arrived

    // Bytes that have arrived, one chunk per read (a chunk longer than the
    // reader's buffer is handed out over several reads).
    std::deque<std::vector<uint8_t>> incoming;
    std::vector<std::string> written; // every write, as written
    // Called after each write with the bytes written; may queue an answer.
    std::function<void(FakeDevice&, const std::string&)> onWrite;
    std::function<void(FakeDevice&)> onOpen; // called after each open; may queue bytes

    bool open = false;
    int opens = 0, failedOpens = 0, closes = 0, discards = 0, reads = 0;
    std::optional<PortMode> mode;

    // Queues bytes as one chunk, or in pieces of `piece` bytes.
    void Send(std::string_view bytes) {
        if (!bytes.empty()) incoming.emplace_back(bytes.begin(), bytes.end());
    }
    void SendInPieces(std::string_view bytes, std::size_t piece) {
        for (std::size_t i = 0; i < bytes.size(); i += piece ? piece : 1) Send(bytes.substr(i, piece ? piece : 1));
    }
    std::size_t PendingBytes() const {
        std::size_t n = 0;
        for (const auto& c : incoming) n += c.size();
        return n;
    }
};

class FakePortFactory : public CommPortFactory {
public:
    std::shared_ptr<FakeDevice> Add(const std::string& name) { return devices_[name] = std::make_shared<FakeDevice>(); }
    std::shared_ptr<FakeDevice> Find(const std::string& name) const {
        const auto it = devices_.find(name);
        return it == devices_.end() ? nullptr : it->second;
    }
    std::unique_ptr<CommPort> CreatePort() override;

private:
    std::map<std::string, std::shared_ptr<FakeDevice>> devices_;
};

// Texts the fake gives for its failures (the Linux system messages).
inline constexpr const char* kFakeNotFoundText = "No such file or directory";
inline constexpr const char* kFakeBusyText = "Device or resource busy";

} // namespace velmora::test
