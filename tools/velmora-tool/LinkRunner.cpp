#include "LinkRunner.h"

#include "data/OptionsFile.h"
#include "serial/ProgrammerApi.h"
#include "serial/SerialAccess.h"
#include "util/FixedText.h"

#include <chrono>
#include <iostream>
#include <thread>

namespace velmora::tool {

PortChoice TakePort(std::vector<std::string>& args) {
    PortChoice c;
    auto p = TakeOption(args, "port");
    if (!p) return c;
    if (p->empty()) throw UsageError{"--port needs COM1..COM4 or a device"};
    c.given = true;
    if (auto com = ParseComName(*p)) {
        c.port = *com;
        c.map = SinglePortMap(*com, DefaultPortDevice(*com));
    } else {
        c.port = 0;
        c.map = SinglePortMap(0, *p);
    }
    return c;
}

MsgAnswer ToolOperator::MessageBox(const std::string& caption, const std::string& text, MsgIcon,
                                   MsgButtons buttons) {
    boxes.push_back(text);
    if (verbose) std::cerr << "[" << caption << "] " << text << '\n';
    return buttons == MsgButtons::YesNo || buttons == MsgButtons::YesNoCancel ? MsgAnswer::No : MsgAnswer::Ok;
}

void ToolOperator::ShowPrompt(const std::string& text, int) {
    if (verbose) std::cerr << "prompt: " << text << '\n';
}

LinkRunner::LinkRunner(const DataArgs& da, PortChoice choice, bool verbose, const SettingsAdjust& adjustSettings)
    : data_(op_, clock_), log_(data_), ports_(factory_, log_, choice.map), choice_(std::move(choice)),
      verbose_(verbose) {
    op_.verbose = verbose;
    data_.SetMarketRegion(da.region);
    if (!da.optionsFile.empty()) {
        std::string problem;
        const int rc = LoadOptions(data_, da.optionsFile, &problem);
        if (rc == 3) throw UsageError{"cannot use the options file: " + problem};
        if (rc == 1) throw UsageError{"\"" + da.optionsFile + "\" is not an options file"};
    }
    SettingsBlock s = data_.GetSettings();
    if (da.halfFrame) s.programmerModel = 1;
    if (adjustSettings) adjustSettings(s, choice_);
    data_.UpdateSettings(s);
    data_.BuildBuiltInFormats();

    data_.serial.programmerCompletion = [this] { ++completions_; };
    ClearProgrammerRunState(data_);
    ResetCommStatus(data_, ports_);
}

void LinkRunner::Tick() {
    Step();
    std::vector<int> posted;
    posted.swap(op_.posted);
    HandlePosted(posted);
    if (verbose_) {
        const auto& lines = log_.RecentTraffic();
        // Lines beyond the list's capacity are not shown again.
        while (shownLines_ < lines.size()) std::cerr << Shown(lines[shownLines_++]) << '\n';
        if (lines.size() >= kRecentTrafficLines) shownLines_ = lines.size();
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(kTickMs));
}

bool LinkRunner::TickUntil(const std::function<bool()>& done, int limit) {
    for (int i = 0; limit <= 0 || i < limit; ++i) {
        Tick();
        if (done()) return true;
    }
    return false;
}

bool LinkRunner::RunRequest() {
    const int before = completions_;
    return TickUntil([&] { return completions_ > before; });
}


} // namespace velmora::tool
