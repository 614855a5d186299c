// A tag form made of strings: one text per row, the control kinds the
// desktop form would give the current format's rows, and a record of what the
// workflows did to it (marks, repaints, focus, raw data, replacements).
#pragma once

#include "data/AEIData.h"
#include "tagwindow/TagForm.h"

#include <array>
#include <functional>
#include <string>
#include <vector>

namespace velmora::test {

class FakeTagForm : public TagForm {
public:
    // Builds the rows for the data object's current format.
    explicit FakeTagForm(AEIData& data);

    // The rows again for the current format; texts empty, marks cleared.
    void Build();

    FieldControl Control(int row) const override;
    std::string FieldText(int row) const override;
    void SetFieldText(int row, const std::string& text) override;
    TagFormMarks Marks() const override { return marks; }
    void SetMarks(const TagFormMarks& m) override { marks = m; }
    void SetSideFieldRow(int row) override { sideRow = row; }
    void Repaint() override { ++repaints; }
    void FocusField(int row) override { focused.push_back(row); }
    void SetRawData(const std::string& text) override { rawData = text; }
    std::string TagTypeText() const override { return tagType; }
    void SetTagTypeText(const std::string& text) override { tagType = text; }
    // Records the call, then runs onReplace (the test's frame) or, without
    // one, rebuilds this form in place.
    void ReplaceTagWindow(bool certifyPending) override;

    // Types a text into a row (no check that the row has a control).
    void Type(int row, const std::string& text) { texts[static_cast<std::size_t>(row)] = text; }

    AEIData& data;
    int formatIndex = -1; // the format the rows were built for
    std::array<FieldControl, kFieldRows> controls{};
    std::array<std::string, kFieldRows> texts;
    TagFormMarks marks;
    int sideRow = -1;
    int repaints = 0;
    std::vector<int> focused;
    std::string rawData;
    std::string tagType;
    std::vector<bool> replaceCalls; // certify-pending flag of each call
    std::function<void(bool)> onReplace;
};

} // namespace velmora::test
