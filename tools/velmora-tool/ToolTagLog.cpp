#include "ToolTagLog.h"

#include "data/OptionsFile.h"
#include "platform/Clock.h"
#include "platform/Operator.h"

#include <filesystem>
#include <limits>

namespace velmora::tool {

void UseWorkingDirectoryOptions(DataArgs& da) {
    if (!da.optionsFile.empty()) return;
    std::error_code ec;
    if (std::filesystem::is_regular_file(kOptionsFileName, ec)) da.optionsFile = kOptionsFileName;
}

ToolTagLog::ToolTagLog(AEIData& data, std::string optionsPath, bool feetInches)
    : data_(data), optionsPath_(optionsPath.empty() ? std::string(kOptionsFileName) : std::move(optionsPath)),
      feetInches_(feetInches), list_(1) {}

std::string ToolTagLog::LastLoggedFrame() const {
    if (data_.GetSettings().logFileOn == 0) return {};
    TagLogList newest(1);
    LoadTagLogTail(TagLogFilePath(data_), newest, 1);
    const std::string& line = newest.Line(0);
    const auto comma = line.rfind(',');
    if (comma == std::string::npos) return {};
    return line.substr(comma + 1);
}

std::string ToolTagLog::Log(const LastTagRecord& record) {
    CheckDayRollover(data_);
    // The line writes lengths in the units they were typed in.
    SettingsBlock s = data_.GetSettings();
    const uint8_t storedUnits = s.feetInches;
    s.feetInches = feetInches_ ? 1 : 0;
    data_.UpdateSettings(s);
    const TagLogOutcome out = LogProgrammedTag(data_, list_, record);
    s = data_.GetSettings();
    s.feetInches = storedUnits;
    data_.UpdateSettings(s);

    std::string problem;
    if (out.fileOn && !out.fileWritten) problem = "the tag log was not written: " + out.fileError;
    const std::string saved = SaveCounters();
    if (!saved.empty()) problem += (problem.empty() ? "" : "; ") + saved;
    return problem;
}

std::string ToolTagLog::CountOnly(const LastTagRecord& record) {
    CheckDayRollover(data_);
    auto up = [](int32_t n) { return n == std::numeric_limits<int32_t>::max() ? 0 : n + 1; };
    SettingsBlock s = data_.GetSettings();
    s.programmedToday = up(s.programmedToday);
    s.programmedTotal = up(s.programmedTotal);
    if (record.certify) s.certifiedCount = up(s.certifiedCount);
    data_.UpdateSettings(s);
    return SaveCounters();
}

std::string ToolTagLog::SaveCounters() {
    std::string problem;

    // Only the counters and the recent tag lines go back into the file: what
    // the tool changed for its own run (model, ports) stays out of it.
    SilentOperator op;
    SystemClock clock;
    AEIData stored(op, clock);
    std::error_code ec;
    if (std::filesystem::exists(optionsPath_, ec)) {
        if (LoadOptions(stored, optionsPath_) != 0) {
            return "the options file \"" + optionsPath_ + "\" could not be read again";
        }
    } else {
        SetOptionDefaults(stored);
        stored.SetVersionText(std::string("1.4D ") + std::string(MarketRegionName(kRegionNorthAmerica)));
    }
    SettingsBlock keep = stored.GetSettings();
    const SettingsBlock now = data_.GetSettings();
    keep.programmedToday = now.programmedToday;
    keep.programmedTotal = now.programmedTotal;
    keep.certifiedCount = now.certifiedCount;
    keep.dayOfYear = now.dayOfYear;
    stored.UpdateSettings(keep);
    for (int i = 0; i < kRecentTagLines; ++i) stored.UpdateRecentTagLine(i, data_.GetRecentTagLine(i));
    if (SaveOptions(stored, optionsPath_) != 0) {
        problem = "the counters could not be saved in \"" + optionsPath_ + "\"";
    }
    return problem;
}

} // namespace velmora::tool
