#include "FakeCommPort.h"

#include <algorithm>
#include <cstring>

namespace velmora::test {
namespace {

// A port on one of the factory's devices; a device that is not there, or
// is busy, will not open.
class FakeCommPort : public CommPort {
public:
    explicit FakeCommPort(FakePortFactory& factory) : factory_(factory) {}
    ~FakeCommPort() override { Close(); }

    bool Open(const std::string& name) override {
        Close();
        auto d = factory_.Find(name);
        if (d && (!d->present || d->busy || d->open)) ++d->failedOpens;
        if (!d || !d->present) return Fail(2, kFakeNotFoundText);
        if (d->busy || d->open) return Fail(16, kFakeBusyText);
        d->open = true;
        ++d->opens;
        device_ = std::move(d);
        errorCode_ = 0;
        errorText_ = "Success";
        if (device_->onOpen) device_->onOpen(*device_);
        return true;
    }
    uint32_t LastErrorCode() const override { return errorCode_; }
    std::string ErrorText() const override { return errorText_; }
    CommDeviceType DeviceType() const override { return device_ ? device_->type : CommDeviceType::Unknown; }
    bool Configure(const PortMode& mode) override {
        if (!device_) return Fail(22, "Invalid argument");
        device_->mode = mode;
        return true;
    }
    bool IsOpen() const override { return device_ != nullptr; }

    long Write(const uint8_t* bytes, std::size_t count) override {
        if (!device_) return -1;
        if (device_->failWrites || !device_->present) {
            Fail(5, "Input/output error");
            return -1;
        }
        std::string text(reinterpret_cast<const char*>(bytes), count);
        device_->written.push_back(text);
        auto keep = device_; // the responder may unplug the device; keep it alive for the call
        if (keep->onWrite) keep->onWrite(*keep, text);
        return static_cast<long>(count);
    }

    CommReadResult Read(uint8_t* buffer, std::size_t max) override {
        CommReadResult r;
        if (!device_) return r;
        ++device_->reads;
        if (device_->unplugWhenDrained && device_->incoming.empty()) device_->present = false;
        if (device_->failNextRead || !device_->present) {
            device_->failNextRead = false;
            Fail(5, "Input/output error");
            r.failed = true;
            return r;
        }
        if (device_->incoming.empty()) return r;
        auto& chunk = device_->incoming.front();
        r.count = std::min(max, chunk.size());
        std::memcpy(buffer, chunk.data(), r.count);
        chunk.erase(chunk.begin(), chunk.begin() + static_cast<long>(r.count));
        if (chunk.empty()) device_->incoming.pop_front();
        return r;
    }

    void DiscardInput() override {
        if (!device_) return;
        ++device_->discards;
        if (!device_->keepInputOnDiscard) device_->incoming.clear();
    }

    void Close() override {
        if (!device_) return;
        device_->open = false;
        ++device_->closes;
        device_.reset();
    }

private:
    bool Fail(uint32_t code, const char* text) {
        errorCode_ = code;
        errorText_ = text;
        return false;
    }
    FakePortFactory& factory_;
    std::shared_ptr<FakeDevice> device_;
    uint32_t errorCode_ = 0;
    std::string errorText_ = "Success";
};

} // namespace

std::unique_ptr<CommPort> FakePortFactory::CreatePort() { return std::make_unique<FakeCommPort>(*this); }

} // namespace velmora::test
