// velmora-tool options show | reset
#include "FrameArgs.h"
#include "ToolCommon.h"
#include "data/OptionsFile.h"
#include "util/FixedText.h"

#include <iostream>

namespace velmora::tool {
namespace {

void PrintSettings(AEIData& d, std::ostream& out) {
    const SettingsBlock s = d.GetSettings();
    const ProgrammerState p = d.GetProgrammerRecord();
    auto text = [](const char* t, std::size_t w) { return std::string(FixedView(t, w)); };
    out << "version_text=" << d.VersionText() << '\n'
        << "tag_log_file=" << d.TagLogFileName() << '\n'
        << "import_tag_file=" << d.ImportTagFileName() << '\n'
        << "sound_on=" << int(s.soundOn) << '\n'
        << "label_printing_on=" << int(s.labelPrintingOn) << '\n'
        << "current_format=" << int(s.currentFormat) << '\n'
        << "lengths_in_feet_inches=" << int(s.feetInches) << '\n'
        << "log_file_on=" << int(s.logFileOn) << '\n'
        << "programmed_today=" << s.programmedToday << '\n'
        << "programmed_total=" << s.programmedTotal << '\n'
        << "day_of_year=" << s.dayOfYear << '\n'
        << "umler_window_shown=" << int(s.umlerWindowShown) << '\n'
        << "tag_log_window_shown=" << int(s.tagLogWindowShown) << '\n'
        << "programmed_by_data_entry=" << int(s.programmedByEntry) << '\n'
        << "automatic_rf_check=" << int(s.autoRfCheck) << '\n'
        << "automatic_umler_check=" << int(s.autoUmlerCheck) << '\n'
        << "programmed_by_company=" << text(s.programmedByCompany, sizeof s.programmedByCompany) << '\n'
        << "certification_initial=" << text(s.certificationInitial, sizeof s.certificationInitial) << '\n'
        << "certified_count=" << s.certifiedCount << '\n'
        << "reader_port=" << (s.readerPort == 255 ? std::string("none") : std::to_string(s.readerPort)) << '\n'
        << "background_color=" << s.backgroundColor << '\n'
        << "recondition_check=" << int(s.reconditionCheck) << '\n'
        << "programmer_model=" << int(s.programmerModel) << '\n'
        << "programmer_port=" << p.port << '\n'
        << "programmer_model_name=" << text(p.model, sizeof p.model) << '\n'
        << "programmer_version=" << text(p.version, sizeof p.version) << '\n'
        << "programmer_last_error=" << text(p.lastError, sizeof p.lastError) << '\n';
    int defined = 0;
    for (int i = 0; i < kFormatSlots; ++i)
        if (d.GetTagFormatData(i).defined) ++defined;
    out << "defined_formats=" << defined << '\n';
}

int RunOptions(std::vector<std::string>& args) {
    if (args.empty()) throw UsageError{"options needs show or reset"};
    std::string verb = args[0];
    args.erase(args.begin());
    auto file = TakeOption(args, "options");
    RejectUnknownOptions(args);
    if (!args.empty()) throw UsageError{"unexpected argument \"" + args[0] + "\""};

    if (verb == "show") {
        DataArgs da;
        da.optionsFile = file.value_or("");
        ToolData td(da);
        PrintSettings(td.data(), std::cout);
        return kExitOk;
    }
    if (verb == "reset") {
        if (!file) throw UsageError{"options reset needs --options FILE"};
        SilentOperator op;
        SystemClock clock;
        AEIData data(op, clock);
        SetOptionDefaults(data);
        data.SetVersionText(std::string("1.4D ") + std::string(MarketRegionName(kRegionNorthAmerica)));
        if (SaveOptions(data, *file) != 0) {
            std::cerr << "Could not open or create the Option File!\n";
            return 4;
        }
        std::cout << "wrote default options to " << *file << '\n';
        return kExitOk;
    }
    throw UsageError{"unknown options command \"" + verb + "\""};
}

const Registrar reg("options",
                    "velmora-tool options show [--options FILE]\n"
                    "velmora-tool options reset --options FILE",
                    RunOptions);

} // namespace
} // namespace velmora::tool
