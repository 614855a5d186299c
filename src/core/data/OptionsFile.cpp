// The options file "programmer option.ads" and the option defaults.
#include "data/OptionsFile.h"

namespace velmora {

const uint8_t kOptionsSignature[16] = {0x80, 0x0D, 0x00, 0x00, 0x22, 0x4B, 0x00, 0x00,
                                       0x2E, 0x16, 0x00, 0x00, 0x95, 0x5B, 0x00, 0x00};

void SetOptionDefaults(AEIData& data) {
    SettingsBlock settings;
    settings.dayOfYear = data.GetClock().Now().dayOfYear;
    data.UpdateSettings(settings);
    data.UpdateProgrammerRecord(ProgrammerState{});
    data.UpdateCommLogSettings(CommLogSettings{});
    data.UpdatePrinterSettings(0, PrinterSettings{});
    data.UpdatePrinterSettings(1, PrinterSettings{});
    for (int set = 0; set < kColumnSets; ++set)
        for (int col = 0; col < kColumnsPerSet; ++col)
            data.UpdateColumnWidth(set, col, set == 0 && col == 2 ? 328 : 100);
    data.SetTagLogFileName("tag log.txt");
    data.SetImportTagFileName("import tag.txt");
    data.SetVersionText({});
    for (int i = 0; i < kRecentTagLines; ++i) data.UpdateRecentTagLine(i, {});
    data.ResetTagTypeList();
    data.ClearFormatTable();
    data.BuildBuiltInFormats();
}

std::string OptionsFilePath(const AEIData& data) {
    return data.StartDirectory() + kOptionsFileName;
}

} // namespace velmora
