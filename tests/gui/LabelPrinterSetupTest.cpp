// "Label Printer Setup" from the menu: OK stores the chosen printer in the
// options and the label printer (another printer with a fresh record), Cancel
// keeps the old one.
#include "GuiRig.h"

#include "app/MenuIds.h"
#include "dialogs/TLabelPrinterSetup.h"

#include <QAction>
#include <QListWidget>

namespace velmora::test {
namespace {

TEST_F(FrameRig, LabelPrinterSetupStoresTheChoiceOnOkOnly) {
    PrinterSettings old;
    SetText(old.device, "Velmora Gone Printer");
    SetText(old.driver, "label driver");
    data.UpdatePrinterSettings(0, old);
    BuildFrame();
    std::vector<std::string> shown;
    // Selects the entry that starts with `entry`, presses `button`; the stored printer after.
    auto choose = [&](const QString& entry, const QString& button) {
        shown.clear();
        onDialog = [&](QDialog& d) {
            QListWidget* list = qobject_cast<TLabelPrinterSetup*>(&d)->List();
            for (int row = 0; row < list->count(); ++row) {
                shown.push_back(list->item(row)->text().toStdString());
                if (list->item(row)->text().startsWith(entry)) list->setCurrentRow(row);
            }
            Press(d, button);
        };
        frame->Action(cmd::kLabelPrinterSetup)->trigger();
        QCoreApplication::processEvents();
        const PrinterSettings now = data.GetPrinterSettings(0);
        return std::string(GetText(now.device)) + "|" + std::string(GetText(now.driver)) + "|" +
               frame->LabelPrinter().DeviceName();
    };
    EXPECT_EQ(choose("PDF file", "Cancel"), "Velmora Gone Printer|label driver|Velmora Gone Printer");
    EXPECT_EQ(dialogsRun, std::vector<std::string>{"Label Printer Setup"});
    // The stored printer is offered though not installed, beside the default printer and "PDF file".
    ASSERT_GE(shown.size(), 3u);
    EXPECT_EQ(shown.front().rfind("Default printer (", 0), 0u);
    EXPECT_EQ(shown[shown.size() - 2], "Velmora Gone Printer (not installed)");
    EXPECT_EQ(shown.back(), "PDF file");
    EXPECT_EQ(choose("Velmora Gone Printer", "OK"), "Velmora Gone Printer|label driver|Velmora Gone Printer")
        << "the same printer keeps its record";
    EXPECT_EQ(choose("PDF file", "OK"), "PDF file||PDF file");
    EXPECT_EQ(choose("Default printer", "OK"), "||");
    EXPECT_TRUE(op.boxes.empty());
}

} // namespace
} // namespace velmora::test
