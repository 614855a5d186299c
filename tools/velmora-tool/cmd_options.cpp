// velmora-tool options show | reset | set
#include "FrameArgs.h"
#include "ToolCommon.h"
#include "data/OptionsFile.h"
#include "data/ReplaceFile.h"
#include "util/FixedText.h"

#include <functional>
#include <iostream>
#include <optional>

namespace velmora::tool {
namespace {

// One setting as "name=value": how to show it and how to take a new value
// (false when the value is not acceptable).
struct Setting {
    const char* name;
    std::function<std::string(AEIData&)> show;
    std::function<bool(AEIData&, const std::string&)> set; // empty: read only
};

std::optional<long> Number(const std::string& v, long lo, long hi) {
    if (v.empty() || v.size() > 10) return std::nullopt;
    long n = 0;
    for (char c : v) {
        if (c < '0' || c > '9') return std::nullopt;
        n = n * 10 + (c - '0');
    }
    if (n < lo || n > hi) return std::nullopt;
    return n;
}

// A port index 0..3 shown as COM1..COM4, or "none".
std::string PortName(long index) { return index >= 0 && index <= 3 ? "COM" + std::to_string(index + 1) : "none"; }
std::optional<long> PortIndex(const std::string& v) {
    if (v == "none") return -1;
    if (v.size() == 4 && v.rfind("COM", 0) == 0 && v[3] >= '1' && v[3] <= '4') return v[3] - '1';
    return std::nullopt;
}

// A byte flag of the settings block.
Setting Flag(const char* name, uint8_t SettingsBlock::*field) {
    return {name, [field](AEIData& d) { return std::to_string(int(d.GetSettings().*field)); },
            [field](AEIData& d, const std::string& v) {
                auto n = Number(v, 0, 1);
                if (!n) return false;
                SettingsBlock s = d.GetSettings();
                s.*field = static_cast<uint8_t>(*n);
                d.UpdateSettings(s);
                return true;
            }};
}

Setting Int(const char* name, int32_t SettingsBlock::*field) {
    return {name, [field](AEIData& d) { return std::to_string(d.GetSettings().*field); },
            [field](AEIData& d, const std::string& v) {
                auto n = Number(v, 0, 2147483647L);
                if (!n) return false;
                SettingsBlock s = d.GetSettings();
                s.*field = static_cast<int32_t>(*n);
                d.UpdateSettings(s);
                return true;
            }};
}

template <std::size_t N>
Setting Text(const char* name, char (SettingsBlock::*field)[N]) {
    return {name, [field](AEIData& d) { SettingsBlock s = d.GetSettings(); return std::string(FixedView(s.*field, N)); },
            [field](AEIData& d, const std::string& v) {
                if (v.size() > N - 1) return false;
                SettingsBlock s = d.GetSettings();
                CopyFixed(s.*field, N, v);
                d.UpdateSettings(s);
                return true;
            }};
}

template <std::size_t N>
Setting ProgrammerText(const char* name, char (ProgrammerState::*field)[N]) {
    return {name,
            [field](AEIData& d) { ProgrammerState p = d.GetProgrammerRecord(); return std::string(FixedView(p.*field, N)); },
            nullptr};
}

const std::vector<Setting>& Settings() {
    static const std::vector<Setting> settings = {
        {"version_text", [](AEIData& d) { return d.VersionText(); }, nullptr},
        {"tag_log_file", [](AEIData& d) { return d.TagLogFileName(); },
         [](AEIData& d, const std::string& v) {
             if (v.empty() || v.size() >= kFileNameWidth) return false;
             d.SetTagLogFileName(v);
             return true;
         }},
        {"import_tag_file", [](AEIData& d) { return d.ImportTagFileName(); }, nullptr},
        Flag("sound_on", &SettingsBlock::soundOn),
        Flag("label_printing_on", &SettingsBlock::labelPrintingOn),
        // The label printer: an installed printer's name, "PDF file" (labels as
        // PDF files in the "labels" folder) or empty for the default printer.
        {"label_printer",
         [](AEIData& d) { PrinterSettings p = d.GetPrinterSettings(0); return std::string(FixedView(p.device, sizeof p.device)); },
         [](AEIData& d, const std::string& v) {
             PrinterSettings p = d.GetPrinterSettings(0);
             if (v.size() >= sizeof p.device) return false;
             for (unsigned char c : v)
                 if (c < 0x20 || c == 0x7F) return false;
             CopyFixed(p.device, sizeof p.device, v);
             d.UpdatePrinterSettings(0, p);
             return true;
         }},
        {"current_format", [](AEIData& d) { return std::to_string(int(d.GetSettings().currentFormat)); },
         [](AEIData& d, const std::string& v) {
             auto n = Number(v, 0, kFormatSlots - 1);
             if (!n || !d.GetTagFormatData(static_cast<int>(*n)).defined) return false;
             SettingsBlock s = d.GetSettings();
             s.currentFormat = static_cast<uint8_t>(*n);
             d.UpdateSettings(s);
             return true;
         }},
        Flag("lengths_in_feet_inches", &SettingsBlock::feetInches),
        Flag("log_file_on", &SettingsBlock::logFileOn),
        Int("programmed_today", &SettingsBlock::programmedToday),
        Int("programmed_total", &SettingsBlock::programmedTotal),
        {"day_of_year", [](AEIData& d) { return std::to_string(d.GetSettings().dayOfYear); }, nullptr},
        Flag("umler_window_shown", &SettingsBlock::umlerWindowShown),
        Flag("tag_log_window_shown", &SettingsBlock::tagLogWindowShown),
        Flag("programmed_by_data_entry", &SettingsBlock::programmedByEntry),
        Flag("automatic_rf_check", &SettingsBlock::autoRfCheck),
        Flag("automatic_umler_check", &SettingsBlock::autoUmlerCheck),
        Text("programmed_by_company", &SettingsBlock::programmedByCompany),
        Text("certification_initial", &SettingsBlock::certificationInitial),
        Int("certified_count", &SettingsBlock::certifiedCount),
        {"reader_port",
         [](AEIData& d) { uint8_t p = d.GetSettings().readerPort; return PortName(p == 255 ? -1 : p); },
         [](AEIData& d, const std::string& v) {
             auto p = PortIndex(v);
             if (!p) return false;
             SettingsBlock s = d.GetSettings();
             s.readerPort = *p < 0 ? 255 : static_cast<uint8_t>(*p);
             d.UpdateSettings(s);
             return true;
         }},
        {"background_color", [](AEIData& d) { return std::to_string(d.GetSettings().backgroundColor); },
         [](AEIData& d, const std::string& v) {
             auto n = Number(v, 0, kBackgroundColors - 1);
             if (!n || !d.GetBackgroundColor(static_cast<int>(*n)).defined) return false;
             SettingsBlock s = d.GetSettings();
             s.backgroundColor = static_cast<int32_t>(*n);
             d.UpdateSettings(s);
             return true;
         }},
        Flag("recondition_check", &SettingsBlock::reconditionCheck),
        {"programmer_model", [](AEIData& d) { return std::to_string(int(d.GetSettings().programmerModel)); },
         [](AEIData& d, const std::string& v) {
             auto n = Number(v, 0, 2);
             if (!n) return false;
             SettingsBlock s = d.GetSettings();
             s.programmerModel = static_cast<uint8_t>(*n);
             d.UpdateSettings(s);
             return true;
         }},
        {"programmer_port", [](AEIData& d) { return PortName(d.GetProgrammerRecord().port); },
         [](AEIData& d, const std::string& v) {
             auto p = PortIndex(v);
             if (!p) return false;
             ProgrammerState ps = d.GetProgrammerRecord();
             ps.port = static_cast<int32_t>(*p);
             d.UpdateProgrammerRecord(ps);
             return true;
         }},
        ProgrammerText("programmer_model_name", &ProgrammerState::model),
        ProgrammerText("programmer_version", &ProgrammerState::version),
        ProgrammerText("programmer_last_error", &ProgrammerState::lastError),
        {"defined_formats",
         [](AEIData& d) {
             int defined = 0;
             for (int i = 0; i < kFormatSlots; ++i)
                 if (d.GetTagFormatData(i).defined) ++defined;
             return std::to_string(defined);
         },
         nullptr},
    };
    return settings;
}

int RunOptions(std::vector<std::string>& args) {
    if (args.empty()) throw UsageError{"options needs show, reset or set"};
    std::string verb = args[0];
    args.erase(args.begin());
    auto file = TakeOption(args, "options");
    RejectUnknownOptions(args);

    if (verb == "show") {
        if (!args.empty()) throw UsageError{"unexpected argument \"" + args[0] + "\""};
        DataArgs da;
        da.optionsFile = file.value_or("");
        ToolData td(da);
        for (const auto& s : Settings()) std::cout << s.name << '=' << s.show(td.data()) << '\n';
        return kExitOk;
    }
    if (verb == "reset" || verb == "set") {
        if (!file) throw UsageError{"options " + verb + " needs --options FILE"};
        SilentOperator op;
        SystemClock clock;
        AEIData data(op, clock);
        if (verb == "reset") {
            if (!args.empty()) throw UsageError{"unexpected argument \"" + args[0] + "\""};
            SetOptionDefaults(data);
            data.SetVersionText(std::string("1.4D ") + std::string(MarketRegionName(kRegionNorthAmerica)));
        } else {
            if (args.empty()) throw UsageError{"options set needs name=value"};
            // A missing file starts from the defaults; a foreign file, and
            // anything that is not a regular file, is refused.
            std::string problem;
            const int rc = LoadOptions(data, *file, &problem);
            if (rc == 1) throw UsageError{"\"" + *file + "\" is not an options file"};
            if (rc == 3 && !WriteTargetProblem(ResolveFileTarget(*file)).empty()) {
                std::cerr << "velmora-tool: " << problem << "\n";
                return 4;
            }
            if (data.VersionText().empty())
                data.SetVersionText(std::string("1.4D ") + std::string(MarketRegionName(kRegionNorthAmerica)));
            for (const auto& a : args) {
                auto eq = a.find('=');
                const std::string name = a.substr(0, eq);
                const Setting* setting = nullptr;
                for (const auto& s : Settings())
                    if (name == s.name) setting = &s;
                if (eq == std::string::npos || !setting) throw UsageError{"unknown setting \"" + a + "\""};
                if (!setting->set) throw UsageError{"the setting " + name + " cannot be set"};
                if (!setting->set(data, a.substr(eq + 1)))
                    throw UsageError{"\"" + a.substr(eq + 1) + "\" is not a value for " + name};
            }
        }
        std::string problem;
        if (SaveOptions(data, *file, &problem) != 0) {
            std::cerr << "Could not open or create the Option File!\n";
            if (!problem.empty()) std::cerr << "velmora-tool: " << problem << "\n";
            return 4;
        }
        if (verb == "reset") std::cout << "wrote default options to " << *file << '\n';
        return kExitOk;
    }
    throw UsageError{"unknown options command \"" + verb + "\""};
}

const Registrar reg("options",
                    "velmora-tool options show [--options FILE]\n"
                    "velmora-tool options reset --options FILE\n"
                    "velmora-tool options set --options FILE name=value ...   (names as options show prints them;\n"
                    "    ports as COM1..COM4 or none, flags as 0 or 1)",
                    RunOptions);

} // namespace
} // namespace velmora::tool
