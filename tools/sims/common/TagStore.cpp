#include "TagStore.h"

#include "ControlText.h"

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <unistd.h>

namespace velmora::sim {

std::string DefaultTagFilePath() {
    const char* dir = std::getenv("TMPDIR");
    std::string base = (dir && *dir) ? dir : "/tmp";
    if (base.back() != '/') base += '/';
    return base + "velmora-sim-tag.txt";
}

std::optional<std::string> TagStore::Load(std::string& problem) const {
    std::ifstream in(path_, std::ios::binary);
    if (!in) {
        problem = "no tag file " + path_;
        return std::nullopt;
    }
    // Only the first line counts; read a bounded amount.
    char buf[64] = {};
    in.read(buf, sizeof buf - 1);
    std::string line(buf, static_cast<std::size_t>(in.gcount()));
    std::size_t end = line.find_first_of("\r\n");
    if (end != std::string::npos) line.resize(end);
    while (!line.empty() && (line.back() == ' ' || line.back() == '\t')) line.pop_back();
    for (auto& c : line)
        if (c >= 'a' && c <= 'f') c = static_cast<char>(c - 'a' + 'A');
    if (!IsFrameDigits(line, 30)) {
        problem = "tag file " + path_ + " does not start with 30 hexadecimal digits";
        return std::nullopt;
    }
    return line;
}

bool TagStore::Save(const std::string& digits, std::string& problem) const {
    std::string temp = path_ + ".tmp" + std::to_string(static_cast<long>(getpid()));
    std::FILE* f = std::fopen(temp.c_str(), "wb");
    if (!f) {
        problem = "cannot write " + temp + ": " + std::strerror(errno);
        return false;
    }
    std::string line = digits + "\n";
    bool ok = std::fwrite(line.data(), 1, line.size(), f) == line.size();
    ok = (std::fflush(f) == 0) && ok;
    ok = (fsync(fileno(f)) == 0) && ok;
    ok = (std::fclose(f) == 0) && ok;
    if (!ok || std::rename(temp.c_str(), path_.c_str()) != 0) {
        problem = "cannot write " + path_ + ": " + std::strerror(errno);
        std::remove(temp.c_str());
        return false;
    }
    return true;
}

bool TagStore::Clear(std::string& problem) const {
    if (std::remove(path_.c_str()) != 0 && errno != ENOENT) {
        problem = "cannot remove " + path_ + ": " + std::strerror(errno);
        return false;
    }
    return true;
}

} // namespace velmora::sim
