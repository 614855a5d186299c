// The harness that replays recorded device exchanges (tests/recordings/<device>)
// through the fake port. Each file lists what the link is asked to do
// ("do ..."), the bytes it must write ("> ...") and the device's answer
// chunks ("< ...", one read each; "! unplug" for a pulled cable where the
// device allows it), then the outcome ("expect key=value"). Bytes are written
// as in the simulators' logs: <CR>, <LF>, <xNN>.
#pragma once

#include "FakeCommPort.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <string>
#include <string_view>
#include <vector>

namespace velmora::test {

struct DeviceStep {
    char kind; // '>' written by the link, '<' sent by the device, '!' unplug
    std::string bytes;
};

struct Recording {
    std::vector<std::string> actions;
    std::vector<DeviceStep> device;
    std::vector<std::string> expects;
};

inline std::string Unescape(std::string_view text) {
    std::string out;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '<') {
            const std::size_t close = text.find('>', i);
            if (close != std::string_view::npos) {
                const std::string_view name = text.substr(i + 1, close - i - 1);
                if (name == "CR" || name == "LF") {
                    out += name == "CR" ? '\r' : '\n';
                    i = close;
                    continue;
                }
                if (name.size() == 3 && name[0] == 'x') {
                    out += static_cast<char>(std::stoi(std::string(name.substr(1)), nullptr, 16));
                    i = close;
                    continue;
                }
            }
        }
        out += text[i];
    }
    return out;
}

// A line the harness cannot read (an unplug where none is allowed included)
// is a test failure.
inline Recording LoadRecording(const std::filesystem::path& path, bool unplugAllowed) {
    Recording r;
    std::ifstream in(path);
    std::string line;
    while (std::getline(in, line)) {
        if (line.empty() || line[0] == '#') continue;
        if (line.rfind("do ", 0) == 0) r.actions.push_back(line.substr(3));
        else if (line.rfind("expect ", 0) == 0) r.expects.push_back(line.substr(7));
        else if (line.rfind("> ", 0) == 0) r.device.push_back({'>', Unescape(line.substr(2))});
        else if (line.rfind("< ", 0) == 0) r.device.push_back({'<', Unescape(line.substr(2))});
        else if (unplugAllowed && line == "! unplug") r.device.push_back({'!', ""});
        else ADD_FAILURE() << path << ": cannot read \"" << line << "\"";
    }
    return r;
}

// The recordings of one device, in name order.
inline std::vector<std::filesystem::path> RecordingFiles(const std::string& device) {
    namespace fs = std::filesystem;
    std::vector<fs::path> files;
    for (const auto& e : fs::directory_iterator(fs::path(VELMORA_SOURCE_DIR) / "tests" / "recordings" / device))
        if (e.path().extension() == ".txt") files.push_back(e.path());
    std::sort(files.begin(), files.end());
    return files;
}

// The test's name: the file's stem with anything but letters and digits as _.
inline std::string RecordingName(const ::testing::TestParamInfo<std::filesystem::path>& info) {
    std::string name = info.param.stem().string();
    for (char& c : name)
        if (!std::isalnum(static_cast<unsigned char>(c))) c = '_';
    return name;
}

// Plays the device side: every write must be the next "> " step; the chunks
// after it are sent (an unplug pulls the cable once they are read). A write
// out of turn is kept as a mismatch and answered with nothing.
class RecordingPlayer {
public:
    explicit RecordingPlayer(const Recording& rec) : rec_(rec) {}

    void Attach(FakeDevice& dev) {
        dev.onWrite = [this](FakeDevice& d, const std::string& written) {
            if (next_ >= rec_.device.size() || rec_.device[next_].kind != '>' ||
                rec_.device[next_].bytes != written) {
                mismatches_.push_back(written);
                return;
            }
            ++next_;
            SendChunks(d);
        };
    }

    // Sends the device's chunks up to its next awaited write.
    void SendChunks(FakeDevice& d) {
        for (; next_ < rec_.device.size() && rec_.device[next_].kind != '>'; ++next_) {
            if (rec_.device[next_].kind == '<') d.Send(rec_.device[next_].bytes);
            else d.unplugWhenDrained = true;
        }
    }

    // Every write was awaited and the recording was played to its end.
    void ExpectPlayedThrough() const {
        EXPECT_TRUE(mismatches_.empty()) << "unexpected write: " << (mismatches_.empty() ? "" : mismatches_[0]);
        EXPECT_EQ(next_, rec_.device.size()) << "the recording was not played to its end";
    }

private:
    const Recording& rec_;
    std::size_t next_ = 0;
    std::vector<std::string> mismatches_;
};

// "key=value", or a key alone.
struct Expectation {
    std::string text;
    std::string key;
    std::string value;
    explicit Expectation(const std::string& e) : text(e) {
        const std::size_t eq = e.find('=');
        key = e.substr(0, eq == std::string::npos ? e.size() : eq);
        value = eq == std::string::npos ? "" : e.substr(eq + 1);
    }
};

// The expectations every device's recordings share: "seconds<" (the last
// action took at most that long), "log" (a logged line ends with the text)
// and "log-count=TEXT=N" (N logged lines hold TEXT). False for another key.
inline bool CheckSharedExpectation(const Expectation& x, const std::vector<std::string>& lines,
                                   uint32_t secondsTaken) {
    if (x.key == "seconds<") {
        EXPECT_LE(secondsTaken, std::stoul(x.value)) << x.text;
    } else if (x.key == "log") {
        const std::string& value = x.value;
        EXPECT_TRUE(std::any_of(lines.begin(), lines.end(), [&](const std::string& l) {
            return l.size() >= value.size() && l.compare(l.size() - value.size(), value.size(), value) == 0;
        })) << x.text;
    } else if (x.key == "log-count") {
        const std::size_t last = x.value.rfind('=');
        const std::string part = Unescape(x.value.substr(0, last));
        EXPECT_EQ(std::count_if(lines.begin(), lines.end(),
                                [&](const std::string& l) { return l.find(part) != std::string::npos; }),
                  std::stol(x.value.substr(last + 1)))
            << x.text;
    } else {
        return false;
    }
    return true;
}

} // namespace velmora::test
