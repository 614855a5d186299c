// The frame's commands that open the set-up dialogs: Load UMLER CD Data,
// Find UMLER Data, Tag Formats, Programmed By Data Entry, Certification
// Vehicle Initial, Set Background Color, and the lot number dialog of the
// certification's finishing step.
#include "app/TAEIDec.h"

#include "editor/TagFormatCommand.h"
#include "setup/SetupDialogs.h"
#include "setup/TFindUMLER.h"
#include "setup/TTagDate.h"
#include "setup/UmlerLoad.h"
#include "umler/UmlerRecord.h"

namespace velmora {

int TAEIDec::RunModal(QDialog& dialog) {
    RunDialog(dialog);
    return dialog.result();
}

void TAEIDec::CmLoadUMLER() {
    UmlerLoadServices s;
    s.chooseExtract = [this](QWidget* parent, const std::string& start) {
        return ChooseUmlerExtract(parent, start, [this](QDialog& d) { return RunModal(d); });
    };
    s.runGauge = [this](TUmlerLoadGauge& gauge) { RunDialog(gauge); };
    LoadUmlerCommand(data_, this, s);
}

void TAEIDec::CmFindUMLER() {
    AEIData::OperationScope scope(data_, "TAEIDec::CmFindUMLER");
    TFindUMLER dialog(data_, data_.StartDirectory() + kUmlerDataFileName, this);
    RunDialog(dialog);
}

void TAEIDec::CmTagFormats() {
    TagFormatCommandServices s;
    s.run = [this](QDialog& d) { return RunModal(d); };
    s.hooks.formatsChanged = [this] {
        if (tagWindow_) RefillTagFormatList(tagWindow_->FormatList(), data_);
    };
    s.hooks.help = [this] { CmHelp(); };
    TagFormatsCommand(data_, this, s);
}

void TAEIDec::CmProgrammedBy() {
    AEIData::OperationScope scope(data_, "TAEIDec::CmProgrammedBy");
    TProgrammedBy dialog(data_, this);
    RunDialog(dialog);
}

void TAEIDec::CmCertificationInitial() {
    AEIData::OperationScope scope(data_, "TAEIDec::CmCertificationInitial");
    TCertificationData dialog(data_, this);
    RunDialog(dialog);
}

void TAEIDec::CmBackgroundColor() {
    AEIData::OperationScope scope(data_, "TAEIDec::CmBackgroundColor");
    TBackgroundColor dialog(data_, [this](int) { ApplyBackgroundColor(tagWindow_, data_); }, this);
    RunDialog(dialog);
}

LotDialogResult TAEIDec::ShowLotNumberDialog() {
    QWidget* parent = tagWindow_ ? static_cast<QWidget*>(tagWindow_.data()) : this;
    return RunLotNumberDialog(data_, parent, [this](QDialog& d) { return RunModal(d); });
}

} // namespace velmora
