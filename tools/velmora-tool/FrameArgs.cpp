#include "FrameArgs.h"

#include "ToolCommon.h"
#include "data/OptionsFile.h"
#include "tagdata/ValueCheck.h"
#include "util/FixedText.h"

#include <iostream>

namespace velmora::tool {

DataArgs TakeDataArgs(std::vector<std::string>& args) {
    DataArgs a;
    a.decimeters = TakeFlag(args, "decimeters");
    a.halfFrame = TakeFlag(args, "half-frame");
    if (auto r = TakeOption(args, "region")) {
        if (*r == "north-america") a.region = kRegionNorthAmerica;
        else if (*r == "sara") a.region = kRegionSARA;
        else if (*r == "australia") a.region = kRegionAustralia;
        else throw UsageError{"unknown region \"" + *r + "\" (north-america, sara or australia)"};
    }
    if (auto f = TakeOption(args, "options")) a.optionsFile = *f;
    return a;
}

ToolData::ToolData(const DataArgs& a) : decimeters_(a.decimeters) {
    data_ = std::make_unique<AEIData>(op_, clock_);
    data_->SetMarketRegion(a.region);
    if (!a.optionsFile.empty()) {
        std::string problem;
        int rc = LoadOptions(*data_, a.optionsFile, &problem);
        if (rc == 3) throw UsageError{"cannot use the options file: " + problem};
        if (rc == 1) throw UsageError{"\"" + a.optionsFile + "\" is not an options file"};
    }
    SettingsBlock s = data_->GetSettings();
    if (a.halfFrame) s.programmerModel = 1;
    data_->UpdateSettings(s);
    // The built-in formats follow the mode and region now in force.
    data_->BuildBuiltInFormats();
}

TagArgs TakeTagArgs(std::vector<std::string>& args, AEIData& data) {
    TagArgs t;
    auto name = TakeOption(args, "format");
    if (!name) throw UsageError{"--format NAME is required"};
    t.formatIndex = data.FindTagFormatByName(*name);
    if (t.formatIndex < 0) throw UsageError{"no tag format named \"" + *name + "\""};
    t.format = data.GetTagFormatData(t.formatIndex);
    RejectUnknownOptions(args);

    const int rows = t.format.RowCount();
    for (int r = 0; r < rows; ++r) t.texts[r] = std::string(t.format.Default(r));
    for (const auto& a : args) {
        auto eq = a.find('=');
        if (eq == std::string::npos) throw UsageError{"expected \"Field Name=value\", got \"" + a + "\""};
        std::string field = a.substr(0, eq);
        std::string value = a.substr(eq + 1);
        int row = -1;
        for (int r = 0; r < rows; ++r) {
            if (t.format.IsShown(r) && t.format.FieldName(r) == field) {
                row = r;
                break;
            }
        }
        if (row < 0) throw UsageError{"the format \"" + *name + "\" has no field \"" + field + "\""};
        // The form's controls hold at most 30 characters.
        if (value.size() > 30) value.resize(30);
        t.texts[row] = value;
    }
    args.clear();
    return t;
}

bool FieldValuesPass(const TagArgs& t, bool feetInches) {
    const ValueCheckResult check = CheckFieldValues(t.format, t.texts, ShownRows(t.format), feetInches);
    if (!check.anyError) return true;
    std::cerr << FieldErrorText(t.format, check) << '\n';
    return false;
}

void PrintDecodedFields(AEIData& data, const DecodedFrame& decoded) {
    const TagFormatData f = data.GetTagFormatData(decoded.formatIndex);
    std::cout << f.Name() << '\n';
    for (int r = 0; r < f.RowCount(); ++r) {
        if (!f.IsShown(r)) continue;
        std::cout << f.FieldName(r) << '=' << decoded.texts[r] << '\n';
    }
}

} // namespace velmora::tool
