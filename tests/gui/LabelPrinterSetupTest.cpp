// "Label Printer Setup" from the menu: the choice dialog's OK stores the
// chosen printer in the options and the label printer, Cancel keeps the old.
#include "GuiRig.h"

#include "app/MenuIds.h"
#include "dialogs/TLabelPrinterSetup.h"

#include <QAction>
#include <QDialogButtonBox>
#include <QListWidget>

namespace velmora::test {
namespace {

class LabelPrinterSetupTest : public FrameRig {
protected:
    // Runs the menu command; the dialog selects the entry whose text starts
    // with `entry` and presses `button`.
    std::vector<std::string> Choose(const QString& entry, QDialogButtonBox::StandardButton button) {
        std::vector<std::string> shown;
        onDialog = [&](QDialog& d) {
            auto* setup = qobject_cast<TLabelPrinterSetup*>(&d);
            ASSERT_NE(setup, nullptr);
            QListWidget* list = setup->List();
            for (int row = 0; row < list->count(); ++row) {
                shown.push_back(list->item(row)->text().toStdString());
                if (list->item(row)->text().startsWith(entry)) list->setCurrentRow(row);
            }
            setup->findChild<QDialogButtonBox*>()->button(button)->click();
        };
        QAction* action = frame->Action(cmd::kLabelPrinterSetup);
        if (action) action->trigger();
        QCoreApplication::processEvents();
        return shown;
    }

    std::string StoredDevice() { return std::string(GetText(data.GetPrinterSettings(0).device)); }
};

TEST_F(LabelPrinterSetupTest, OkStoresTheChoiceAndCancelKeepsTheOld) {
    PrinterSettings old;
    SetText(old.device, "Velmora Gone Printer");
    SetText(old.driver, "label driver");
    data.UpdatePrinterSettings(0, old);
    BuildFrame();

    // The stored printer is offered even though it is not installed, beside
    // the default printer and "PDF file".
    const std::vector<std::string> shown = Choose("PDF file", QDialogButtonBox::Cancel);
    EXPECT_EQ(dialogsRun, std::vector<std::string>{"Label Printer Setup"});
    ASSERT_GE(shown.size(), 3u);
    EXPECT_EQ(shown.front().rfind("Default printer (", 0), 0u);
    EXPECT_EQ(shown[shown.size() - 2], "Velmora Gone Printer (not installed)");
    EXPECT_EQ(shown.back(), "PDF file");
    EXPECT_EQ(StoredDevice(), "Velmora Gone Printer");
    EXPECT_EQ(std::string(GetText(data.GetPrinterSettings(0).driver)), "label driver");
    EXPECT_EQ(frame->LabelPrinter().DeviceName(), "Velmora Gone Printer");

    Choose("PDF file", QDialogButtonBox::Ok);
    EXPECT_EQ(StoredDevice(), "PDF file");
    EXPECT_EQ(std::string(GetText(data.GetPrinterSettings(0).driver)), "");
    EXPECT_EQ(frame->LabelPrinter().DeviceName(), "PDF file");

    Choose("Default printer", QDialogButtonBox::Ok);
    EXPECT_EQ(StoredDevice(), "");
    EXPECT_EQ(frame->LabelPrinter().DeviceName(), "");
    EXPECT_TRUE(op.boxes.empty());
}

} // namespace
} // namespace velmora::test
