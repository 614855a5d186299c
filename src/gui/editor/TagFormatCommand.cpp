#include "editor/TagFormatCommand.h"

#include "editor/TFormatRequest.h"
#include "qt/QtOperator.h"
#include "tagdata/FormatEditor.h"

#include <QComboBox>
#include <QSignalBlocker>

namespace velmora {

namespace {

int Run(const TagFormatCommandServices& s, QDialog& dialog) { return s.run ? s.run(dialog) : dialog.exec(); }

} // namespace

void TagFormatsCommand(AEIData& data, QWidget* parent, const TagFormatCommandServices& services) {
    AEIData::OperationScope scope(data, "TAEIDec::CmTagFormats");
    int slot = -1;
    {
        TFormatRequest request(data, parent);
        if (Run(services, request) != QDialog::Accepted) return;
        slot = request.ChosenSlot();
        if (!request.NewChosen() && slot < 0) return; // the format is gone
    }
    FormatEditor editor(data);
    if (!editor.Open(slot)) return;
    TTagFormat dialog(data, editor, services.hooks, parent);
    Run(services, dialog);
}

void RefillTagFormatList(QComboBox* list, AEIData& data) {
    if (!list) return;
    const QSignalBlocker block(list);
    list->clear();
    const int current = data.GetSettings().currentFormat;
    int select = -1;
    for (int slot = 0; slot < kFormatSlots; ++slot) {
        const TagFormatData f = data.GetTagFormatData(slot);
        if (f.defined != 1) continue;
        list->addItem(FromCoreText(std::string(f.Name())), slot);
        if (slot == current) select = list->count() - 1;
    }
    list->setCurrentIndex(select);
}

} // namespace velmora
