// UMLER Lookup: fills the form with the register's length, axles and
// platforms of the typed vehicle, switching between the railcar and the
// locomotive form when the register lists the other kind.
#include "tagwindow/Workflows.h"

#include "data/AEIData.h"
#include "tagdata/ValueCheck.h"
#include "tagwindow/FormValues.h"
#include "umler/UmlerKey.h"
#include "umler/UmlerLookup.h"

#include <cstdio>

namespace velmora {

void TagWorkflows::CmUmlerLookup() {
    const AEIData::OperationScope scope(data_, "TAEIWindow::CmUmlerLookup");
    if (!form_) return;
    int focusRow = 0;
    auto refuse = [&](const std::string& text) {
        ShowError(text, MsgIcon::Stop);
        FocusField(focusRow);
    };

    SettingsBlock s = data_.GetSettings();
    const TagFormatData format = data_.GetTagFormatData(s.currentFormat);
    if (!IsUmlerFormat(format)) {
        refuse("UMLER data can only be found when a locomotive or railcar tag format is displayed.");
        return;
    }
    const int initialRow = FindRowByStartBit(format, kBitEquipmentInitial);
    if (Control(initialRow) != FieldControl::Edit) {
        refuse("Could not find \"Equipment Initial\" field in tag format.");
        return;
    }
    const int numberRow = FindRowByStartBit(format, kBitEquipmentNumber);
    if (Control(numberRow) != FieldControl::Edit) {
        refuse("Could not find \"Equipment Number\" field in tag format.");
        return;
    }
    const std::string initial = FormText(initialRow, 9);
    if (initial.empty()) {
        focusRow = initialRow;
        refuse("There is no data in the \"Equipment Initial\" field.");
        return;
    }
    const std::string number = FormText(numberRow, 9);
    if (number.empty()) {
        focusRow = numberRow;
        refuse("There is no data in the \"Equipment Number\" field.");
        return;
    }

    const std::string key = MakeVehicleKey(initial, number);
    const UmlerRecord reg = umler_.Find(key);
    data_.SetUMLERRecord(reg);
    hooks_.UmlerRecordChanged();
    if (!reg.IsRecord()) {
        refuse("Cannot find \"" + key + "\" in UMLER");
        return;
    }
    data_.SetVehicleKey(key);
    const int category = data_.GetCarType(reg.typeCode, -1, "").category;
    const bool locomotive = category == 10 || category == 11;

    int target = s.currentFormat;
    const bool railcarForm = format.equipmentGroupCode == kGroupRailcar;
    if (locomotive == railcarForm) {
        target = data_.FindTagFormatForFrame(51, locomotive ? kGroupLocomotive : kGroupRailcar, true);
        if (target < 0) {
            FocusField(0);
            return;
        }
    }
    const TagFormatData targetFormat = data_.GetTagFormatData(target);

    LastTagRecord record = RecordFromForm(s.currentFormat);
    char buf[32];
    const int lengthRow = FindRowByStartBit(
        targetFormat, targetFormat.equipmentGroupCode == kGroupRailcar ? kBitRailcarLength
                                                                       : kBitLocomotiveLength);
    if (s.feetInches != 0)
        std::snprintf(buf, sizeof buf, "%d-%02d", reg.lengthInches / 12, reg.lengthInches % 12);
    else
        std::snprintf(buf, sizeof buf, "%d", static_cast<int>(InchesToDecimeters(reg.lengthInches)));
    record.SetFieldText(lengthRow, buf);
    std::snprintf(buf, sizeof buf, "%d", reg.axles);
    record.SetFieldText(FindRowByStartBit(targetFormat, kBitAxles), buf);
    if (!locomotive) {
        std::snprintf(buf, sizeof buf, "%d", reg.platforms);
        record.SetFieldText(FindRowByStartBit(targetFormat, kBitPlatform), buf);
    }
    record.readFlag = 1;

    const bool switchForm = target != s.currentFormat;
    if (switchForm) {
        record.SetFieldText(FindRowByStartBit(targetFormat, kBitBearing), "1");
        s.currentFormat = static_cast<uint8_t>(target);
        data_.UpdateSettings(s);
        record.formatIndex = static_cast<uint8_t>(target);
    }
    CarryOver(record, switchForm);
    FocusField(0);
}

} // namespace velmora
