#include "FakeCommPort.h"

#include <algorithm>
#include <cstring>

namespace velmora::test {

void FakeDevice::Send(std::string_view bytes) {
    if (bytes.empty()) return;
    incoming.emplace_back(bytes.begin(), bytes.end());
}

void FakeDevice::SendInPieces(std::string_view bytes, std::size_t piece) {
    if (piece == 0) piece = 1;
    for (std::size_t i = 0; i < bytes.size(); i += piece) Send(bytes.substr(i, piece));
}

std::size_t FakeDevice::PendingBytes() const {
    std::size_t n = 0;
    for (const auto& c : incoming) n += c.size();
    return n;
}

FakeCommPort::~FakeCommPort() { Close(); }

bool FakeCommPort::Open(const std::string& device) {
    Close();
    auto d = factory_.Find(device);
    if (!d || !d->present) {
        errorCode_ = 2;
        errorText_ = kFakeNotFoundText;
        if (d) ++d->failedOpens;
        return false;
    }
    if (d->busy || d->open) {
        errorCode_ = 16;
        errorText_ = kFakeBusyText;
        ++d->failedOpens;
        return false;
    }
    d->open = true;
    ++d->opens;
    device_ = std::move(d);
    errorCode_ = 0;
    errorText_ = "Success";
    if (device_->onOpen) device_->onOpen(*device_);
    return true;
}

CommDeviceType FakeCommPort::DeviceType() const {
    return device_ ? device_->type : CommDeviceType::Unknown;
}

bool FakeCommPort::Configure(const PortMode& mode) {
    if (!device_ || device_->refuseConfigure) {
        errorCode_ = 22;
        errorText_ = "Invalid argument";
        return false;
    }
    device_->mode = mode;
    return true;
}

long FakeCommPort::Write(const uint8_t* bytes, std::size_t count) {
    if (!device_) return -1;
    if (device_->failWrites || !device_->present) {
        errorCode_ = 5;
        errorText_ = kFakeIoErrorText;
        return -1;
    }
    std::string text(reinterpret_cast<const char*>(bytes), count);
    device_->written.push_back(text);
    // The responder may unplug the device; keep it alive for the call.
    auto keep = device_;
    if (keep->onWrite) keep->onWrite(*keep, text);
    return static_cast<long>(count);
}

CommReadResult FakeCommPort::Read(uint8_t* buffer, std::size_t max) {
    CommReadResult r;
    if (!device_) return r;
    ++device_->reads;
    if (device_->unplugWhenDrained && device_->incoming.empty()) device_->present = false;
    if (device_->failNextRead || !device_->present) {
        device_->failNextRead = false;
        ++device_->failedReads;
        errorCode_ = 5;
        errorText_ = kFakeIoErrorText;
        r.failed = true;
        return r;
    }
    if (device_->incoming.empty()) return r;
    auto& chunk = device_->incoming.front();
    const std::size_t n = std::min(max, chunk.size());
    std::memcpy(buffer, chunk.data(), n);
    chunk.erase(chunk.begin(), chunk.begin() + static_cast<long>(n));
    if (chunk.empty()) device_->incoming.pop_front();
    r.count = n;
    return r;
}

void FakeCommPort::DiscardInput() {
    if (!device_) return;
    ++device_->discards;
    if (!device_->keepInputOnDiscard) device_->incoming.clear();
}

void FakeCommPort::Close() {
    if (!device_) return;
    device_->open = false;
    ++device_->closes;
    device_.reset();
}

std::shared_ptr<FakeDevice> FakePortFactory::Add(const std::string& name) {
    auto d = std::make_shared<FakeDevice>();
    d->name = name;
    devices_[name] = d;
    return d;
}

std::shared_ptr<FakeDevice> FakePortFactory::Find(const std::string& name) const {
    auto it = devices_.find(name);
    return it == devices_.end() ? nullptr : it->second;
}

std::unique_ptr<CommPort> FakePortFactory::CreatePort() {
    ++created;
    return std::make_unique<FakeCommPort>(*this);
}

} // namespace velmora::test
