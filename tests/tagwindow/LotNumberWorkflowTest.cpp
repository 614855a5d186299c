// The lot number of a certified tag with the recondition check on, through
// the workflows: the lot number rules answer for the dialog (a bad number is
// shown and the operator types again, or cancels), then the tag log line
// and the label say what the lot number decided.
#include "WorkflowRig.h"

#include "data/LotNumber.h"
#include "print/LabelLayout.h"

namespace velmora::test {
namespace {

class LotNumberWorkflow : public WorkflowRig {
protected:
    // What the operator types into the dialog, one entry per OK press; when
    // they run out the operator presses Cancel.
    std::vector<std::string> typed;

    void SetUp() override {
        WorkflowRig::SetUp();
        clock.local.year = 2026;
        clock.local.dayOfYear = 150;
        SetOption(&SettingsBlock::reconditionCheck, 1);
        SettingsBlock s = data.GetSettings();
        SetText(s.programmedByCompany, "Rail Shop");
        data.UpdateSettings(s);
        SetReaderPort(1);
        hooks.onLot = [this] {
            hooks.lotAnswer = LotDialogResult::Cancel;
            for (const std::string& text : typed) {
                if (ApplyLotNumber(data, text)) {
                    hooks.lotAnswer = LotDialogResult::Ok;
                    break;
                }
            }
        };
    }

    // Certify a tag: program it, the reader agrees.
    void CertifyTag() {
        wf.CmCertifyTag();
        Complete(kResultProgramOk);
        ReaderResult(kResultRfAgrees);
    }

    static std::vector<std::string> LabelTexts(const LastTagRecord& r, AEIData& d) {
        LabelInput in = MakeLabelInput(d);
        in.record = r;
        LabelMetrics m;
        m.pageWidth = 800;
        m.lineHeight.fill(30);
        m.averageWidth.fill(10);
        return BuildLabelLayout(in, m).Texts();
    }
    static bool Contains(const std::vector<std::string>& texts, const std::string& part) {
        for (const auto& t : texts)
            if (t.find(part) != std::string::npos) return true;
        return false;
    }
};

TEST_F(LotNumberWorkflow, RecentLotPrintsAReconditionedLabel) {
    typed = {"123", "21200"}; // a short number first: shown, typed again
    CertifyTag();
    EXPECT_EQ(hooks.lotDialogs, 1);
    ASSERT_EQ(op.boxes.size(), 1u);
    EXPECT_EQ(op.boxes[0].text, "Lot date must be five digits long.");

    ASSERT_EQ(hooks.labels.size(), 1u);
    const LastTagRecord& label = hooks.labels[0];
    EXPECT_EQ(label.reconditioned, 1);
    EXPECT_EQ(label.lotDay, 200u);
    EXPECT_EQ(label.lotYear, 21u);
    const auto texts = LabelTexts(label, data);
    EXPECT_TRUE(Contains(texts, "RECONDITIONED"));
    EXPECT_TRUE(Contains(texts, "Reconditioned by Rail Shop"));
    EXPECT_NE(tagLog.Line(0).find(" Reconditioned RF OK"), std::string::npos) << tagLog.Line(0);
    EXPECT_NE(TagLogFile().find(" Reconditioned RF OK"), std::string::npos);
}

TEST_F(LotNumberWorkflow, OlderLotPrintsACertifiedLabel) {
    typed = {"20365"};
    CertifyTag();
    ASSERT_EQ(hooks.labels.size(), 1u);
    EXPECT_EQ(hooks.labels[0].reconditioned, 0);
    EXPECT_EQ(hooks.labels[0].lotDay, 365u);
    EXPECT_EQ(hooks.labels[0].lotYear, 20u);
    const auto texts = LabelTexts(hooks.labels[0], data);
    EXPECT_TRUE(Contains(texts, "CERTIFIED FOR REUSE"));
    EXPECT_FALSE(Contains(texts, "RECONDITIONED"));
    EXPECT_NE(tagLog.Line(0).find(" Certified RF OK"), std::string::npos) << tagLog.Line(0);
}

TEST_F(LotNumberWorkflow, CancelEndsTheStepWithoutALabel) {
    typed = {"89001"}; // refused by the year rule, then Cancel
    CertifyTag();
    EXPECT_EQ(hooks.lotDialogs, 1);
    ASSERT_EQ(op.boxes.size(), 1u);
    EXPECT_EQ(op.boxes[0].text,
              "The first two digits of the lot code (year manufactured) must be between 90 and 26.");
    EXPECT_TRUE(hooks.labels.empty());
    EXPECT_EQ(Total(), 1); // the tag was programmed and is counted
    EXPECT_EQ(data.GetLastTagRecord().reconditioned, 0);
    EXPECT_NE(tagLog.Line(0).find(" Certified RF OK"), std::string::npos) << tagLog.Line(0);
}

TEST_F(LotNumberWorkflow, NoDialogWithoutTheReconditionCheck) {
    SetOption(&SettingsBlock::reconditionCheck, 0);
    typed = {"21200"};
    CertifyTag();
    EXPECT_EQ(hooks.lotDialogs, 0);
    ASSERT_EQ(hooks.labels.size(), 1u);
    EXPECT_EQ(hooks.labels[0].reconditioned, 0);
    EXPECT_EQ(hooks.labels[0].lotDay, 0u);
}

} // namespace
} // namespace velmora::test
