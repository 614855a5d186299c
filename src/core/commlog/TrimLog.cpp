#include "commlog/TrimLog.h"

#include "commlog/CommLog.h"
#include "data/AEIData.h"
#include "data/ReplaceFile.h"

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <memory>
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
    // Only a regular file is trimmed; a symbolic link stays and the file it
    // leads to is trimmed in its own folder.
    const std::string target = ResolveFileTarget(path);
    std::unique_ptr<std::FILE, int (*)(std::FILE*)> in(OpenRegularFile(target, "rb"), &std::fclose);
    if (!in) return TrimOutcome::NotOpened;
    if (std::fseek(in.get(), 0, SEEK_END) != 0) return TrimOutcome::NotOpened;
    const long end = std::ftell(in.get());
    if (end < 0) return TrimOutcome::NotOpened;
    const auto length = static_cast<std::uintmax_t>(end);
    if (length <= limit) return TrimOutcome::SmallEnough;
    if (std::fseek(in.get(), 0, SEEK_SET) != 0) return TrimOutcome::NotOpened;

    if (TrimWorkFileName(target).empty()) return TrimOutcome::NoWorkName;
    // The log is read while the work file is written: never in place.
    FileReplacement out;
    if (!out.Begin(target, nullptr, false, &TrimWorkFileName)) return TrimOutcome::WorkFileFailed;

    bool ok = true;
    std::uintmax_t count = length;
    char* line = nullptr;
    std::size_t capacity = 0;
    for (;;) {
        const ssize_t got = ::getline(&line, &capacity, in.get());
        if (got < 0) break;
        const auto size = static_cast<std::uintmax_t>(got);
        const bool hadNewline = line[got - 1] == '\n';
        const std::uintmax_t textSize = hadNewline ? size - 1 : size;
        if (count <= limit && std::fwrite(line, 1, size, out.File()) != size) ok = false;
        const std::uintmax_t used = textSize + 1;
        count = count > used ? count - used : 0;
    }
    std::free(line);
    if (std::ferror(in.get())) ok = false;
    in.reset();

    if (!ok || !out.Commit()) return TrimOutcome::WorkFileFailed;
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
