// A tag window without a screen: the application data, a scripted operator, a fake clock, an array-backed form
// that is replaced the way the frame does it, hooks that record what the frame was asked, a temporary start
// directory for the tag log and a small UMLER data file.
#pragma once

#include "FakeTagForm.h"
#include "TestSupport.h"

#include "data/AEIData.h"
#include "data/TagLog.h"
#include "serial/ProgrammerApi.h"
#include "serial/SerialAccess.h"
#include "tagwindow/Workflows.h"
#include "umler/UmlerKey.h"
#include "umler/UmlerRecord.h"

#include <gtest/gtest.h>

#include <deque>
#include <fstream>
#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace velmora::test {

struct RecordingHooks : WorkflowHooks {
    std::vector<LastTagRecord> labels;
    int readerSearches = 0, portDialogs = 0, umlerRefreshes = 0, lotDialogs = 0;
    std::vector<bool> unitChanges;
    std::vector<std::string> counters;
    LotDialogResult lotAnswer = LotDialogResult::NotShown;
    std::function<void()> onPortDialog, onLot;

    void PrintLabel(const LastTagRecord& r) override { labels.push_back(r); }
    void StartReaderSearch() override { ++readerSearches; }
    void OpenReaderPortDialog() override {
        if (++portDialogs, onPortDialog) onPortDialog();
    }
    LotDialogResult ShowLotNumberDialog() override {
        if (++lotDialogs, onLot) onLot();
        return lotAnswer;
    }
    void UmlerRecordChanged() override { ++umlerRefreshes; }
    void LengthUnitsChanged(bool feetInches) override { unitChanges.push_back(feetInches); }
    void ShowProgrammedCounter(const std::string& t) override { counters.push_back(t); }
};

struct UmlerVehicle {
    std::string initial;
    int number;
    std::string type;
    int lengthInches, axles, platforms;
};

// Format slots of the railcar and locomotive built-ins.
inline constexpr int kRailcarSlot = 0;
inline constexpr int kLocomotiveSlot = 1;

// A scripted operator that can act while a question is open, as the timer does.
struct RigOperator : ScriptedOperator {
    std::function<void()> onQuestion;
    MsgAnswer MessageBox(const std::string& c, const std::string& t, MsgIcon i, MsgButtons b) override {
        if (b == MsgButtons::YesNo && onQuestion) onQuestion();
        return ScriptedOperator::MessageBox(c, t, i, b);
    }
};

class WorkflowRig : public ::testing::Test {
protected:
    RigOperator op;
    FakeClock clock;
    AEIData data{op, clock};
    TagLogList tagLog;
    RecordingHooks hooks;
    TempDir dir;
    TagWorkflows wf{data, tagLog, hooks};
    std::deque<std::unique_ptr<FakeTagForm>> forms;

    void SetUp() override {
        data.SetStartDirectory(dir.path().string() + "/");
        EditProg([](ProgrammerState& ps) { ps.on = 1, ps.port = 0; });
        wf.SetUmlerDataPath(dir.File("umlerdata.uml"));
        NewForm(false);
    }

    // What the frame does on ReplaceTagWindow: a new form for the current format, handed over, set up.
    void NewForm(bool certifyPending) {
        forms.push_back(std::make_unique<FakeTagForm>(data));
        FakeTagForm& f = *forms.back();
        f.onReplace = [this](bool pending) { NewForm(pending); };
        wf.SetForm(&f);
        wf.SetupFormValues();
        const TagFormatData format = data.GetTagFormatData(data.GetSettings().currentFormat);
        f.SetTagTypeText(data.GetAchTagType(format.defaultTag));
        if (certifyPending) wf.CertificationFill();
    }
    FakeTagForm& Form() { return *forms.back(); }
    // Texts typed into the rows from the first on.
    void TypeRows(std::initializer_list<std::string> texts) {
        int row = 0;
        for (const auto& t : texts) Form().Type(row++, t);
    }

    void SelectFormat(int index) {
        SetOption(&SettingsBlock::currentFormat, static_cast<uint8_t>(index));
        NewForm(false);
    }
    void SetOption(uint8_t SettingsBlock::*field, uint8_t value) {
        SettingsBlock s = data.GetSettings();
        s.*field = value;
        data.UpdateSettings(s);
    }

    // A railcar typed on the railcar form (feet-inches entry).
    void TypeRailcar(const std::string& initial = "ABCD", const std::string& number = "1234",
                     const std::string& length = "50-6", const std::string& axles = "4",
                     const std::string& bearing = "1", const std::string& platform = "0") {
        const std::pair<int, std::string> typed[] = {{0, initial}, {1, number}, {2, "RIGHT"}, {3, length},
                                                     {5, axles},   {6, bearing}, {7, platform}};
        for (const auto& [row, text] : typed) Form().Type(row, text);
    }

    // The register file of the vehicles, given in key order.
    void WriteUmler(std::vector<UmlerVehicle> vehicles) {
        std::ofstream out(dir.File("umlerdata.uml"), std::ios::binary);
        for (const auto& v : vehicles) {
            UmlerRecord r;
            r.initialCode = InitialCode(v.initial), r.number = v.number;
            SetText(r.typeCode, v.type);
            r.lengthInches = static_cast<uint16_t>(v.lengthInches);
            r.axles = static_cast<uint8_t>(v.axles), r.platforms = static_cast<uint8_t>(v.platforms);
            uint8_t b[21];
            EncodeUmlerRecord(r, b);
            out.write(reinterpret_cast<const char*>(b), sizeof b);
        }
    }

    // An operator copy of a format in another slot, under another name, perhaps changed.
    void CopyFormat(int from, int to, const char* name, const std::function<void(TagFormatData&)>& change = {}) {
        TagFormatData f = data.GetTagFormatData(from);
        f.systemSlot = 0;
        SetText(f.formatName, name);
        if (change) change(f);
        data.UpdateTagFormatData(to, f);
    }
    // The EOT Device rows as "EOT WABTEC" in slot 6.
    void AddWabtecFormat() { CopyFormat(3, 6, "EOT WABTEC"); }

    ProgrammerState Prog() { return data.GetProgrammerRecord(); }
    template <class Change> void EditProg(Change change) {
        ProgrammerState ps = Prog();
        change(ps);
        data.UpdateProgrammerRecord(ps);
    }
    // The link's end of an exchange: state 0 and the result, then the handler. A reader result leaves the state.
    bool Complete(uint8_t result) {
        EditProg([&](ProgrammerState& ps) { ps.operationState = 0, ps.operationResult = result; });
        return wf.ProgrammerCompletion();
    }
    bool ReaderResult(uint8_t result) {
        EditProg([&](ProgrammerState& ps) { ps.operationResult = result; });
        return wf.ProgrammerCompletion();
    }
    // The texts of the given rows of the form, joined by commas.
    std::string Shown(std::initializer_list<int> rows) {
        std::string s;
        for (int row : rows) s += (row == *rows.begin() ? "" : ",") + Form().texts[row];
        return s;
    }
    void SetReaderPort(int port) { SetOption(&SettingsBlock::readerPort, static_cast<uint8_t>(port)); }

    void Answer(std::initializer_list<MsgAnswer> a) { op.answers.insert(op.answers.end(), a); }
    std::vector<std::string> BoxTexts() const {
        std::vector<std::string> t;
        for (const auto& b : op.boxes) t.push_back(b.text);
        return t;
    }
    // A box as caption, icon number and text.
    static std::string Box(const ShownBox& b) {
        return b.caption + "|" + std::to_string(static_cast<int>(b.icon)) + "|" + b.text;
    }
    std::string TagLogFile() { return ReadFileText(dir.File("tag log.txt")); }
    int32_t Total() { return data.GetSettings().programmedTotal; }
};

} // namespace velmora::test
