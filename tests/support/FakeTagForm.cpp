#include "FakeTagForm.h"

namespace velmora::test {

FakeTagForm::FakeTagForm(AEIData& d) : data(d) { Build(); }

void FakeTagForm::Build() {
    formatIndex = data.GetSettings().currentFormat;
    const TagFormatData f = data.GetTagFormatData(formatIndex);
    for (int row = 0; row < kFieldRows; ++row) {
        const auto i = static_cast<std::size_t>(row);
        texts[i].clear();
        if (!f.IsShown(row)) controls[i] = FieldControl::None;
        else controls[i] = f.type[row] == kTypeSide ? FieldControl::SideList : FieldControl::Edit;
    }
    marks.Clear();
    sideRow = -1;
}

FieldControl FakeTagForm::Control(int row) const {
    if (row < 0 || row >= kFieldRows) return FieldControl::None;
    return controls[static_cast<std::size_t>(row)];
}

std::string FakeTagForm::FieldText(int row) const {
    if (Control(row) == FieldControl::None) return {};
    return texts[static_cast<std::size_t>(row)];
}

void FakeTagForm::SetFieldText(int row, const std::string& text) {
    const FieldControl c = Control(row);
    if (c == FieldControl::None) return;
    // A side list holds only its two items.
    if (c == FieldControl::SideList && text != "LEFT" && text != "RIGHT") return;
    texts[static_cast<std::size_t>(row)] = text;
}

void FakeTagForm::ReplaceTagWindow(bool certifyPending) {
    replaceCalls.push_back(certifyPending);
    if (onReplace) onReplace(certifyPending);
    else Build();
}

} // namespace velmora::test
