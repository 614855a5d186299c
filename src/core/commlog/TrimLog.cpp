#include "commlog/TrimLog.h"

#include "commlog/CommLog.h"
#include "data/AEIData.h"

#include <filesystem>
#include <fstream>
#include <system_error>

namespace velmora {

namespace fs = std::filesystem;

std::string TrimWorkFileName(const std::string& path) {
    const std::size_t sep = path.find_last_of("/\\");
    const std::size_t nameStart = sep == std::string::npos ? 0 : sep + 1;
    const std::size_t dot = path.rfind('.');
    if (dot == std::string::npos || dot < nameStart) return {};
    std::string work = path.substr(0, dot) + ".tmp";
    if (work == path) work += ".tmp";
    return work;
}

TrimOutcome TrimLogFile(const std::string& path, std::uintmax_t limit) {
    std::ifstream in(path, std::ios::binary);
    if (!in) return TrimOutcome::NotOpened;
    in.seekg(0, std::ios::end);
    const std::streamoff end = in.tellg();
    if (end < 0) return TrimOutcome::NotOpened;
    const auto length = static_cast<std::uintmax_t>(end);
    if (length <= limit) return TrimOutcome::SmallEnough;
    in.seekg(0, std::ios::beg);

    const std::string work = TrimWorkFileName(path);
    if (work.empty()) return TrimOutcome::NoWorkName;

    bool ok = true;
    {
        std::ofstream out(work, std::ios::binary | std::ios::trunc);
        if (!out) return TrimOutcome::WorkFileFailed;
        std::uintmax_t count = length;
        std::string line;
        while (std::getline(in, line)) {
            const bool hadNewline = !in.eof();
            if (count <= limit) {
                out.write(line.data(), static_cast<std::streamsize>(line.size()));
                if (hadNewline) out.put('\n');
            }
            const std::uintmax_t used = line.size() + 1;
            count = count > used ? count - used : 0;
        }
        if (in.bad()) ok = false;
        out.flush();
        if (!out) ok = false;
    }
    in.close();

    std::error_code ec;
    if (ok) fs::rename(work, path, ec);
    if (!ok || ec) {
        fs::remove(work, ec);
        return TrimOutcome::WorkFileFailed;
    }
    return TrimOutcome::Trimmed;
}

void TrimLogFiles(AEIData& data) {
    TrimLogFile(data.StartDirectory() + kCommLogFileName);
    std::string tagLog = data.TagLogFileName();
    if (tagLog.empty()) return;
    if (fs::path(tagLog).is_relative()) tagLog = data.StartDirectory() + tagLog;
    TrimLogFile(tagLog);
}

} // namespace velmora
