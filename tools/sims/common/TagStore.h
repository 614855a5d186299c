// The tag that lies on the simulated programmer, kept in a text file so that
// the reader simulator (and a technician) can see the same tag: one line of
// 30 upper-case hexadecimal digits.
#pragma once

#include <optional>
#include <string>

namespace velmora::sim {

std::string DefaultTagFilePath();

class TagStore {
public:
    explicit TagStore(std::string path) : path_(std::move(path)) {}
    const std::string& Path() const { return path_; }

    // The stored frame, or nothing when the file is missing or does not hold
    // 30 hexadecimal digits on its first line (problem says why).
    std::optional<std::string> Load(std::string& problem) const;
    // Writes the 30 digits through a temporary file renamed over the old one.
    bool Save(const std::string& digits, std::string& problem) const;
    bool Clear(std::string& problem) const;

private:
    std::string path_;
};

} // namespace velmora::sim
