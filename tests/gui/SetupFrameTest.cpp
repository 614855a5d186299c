// The set-up commands through the frame's menu: the dialogs they open, the
// tag form repainted in a new colour and refilled after a format change, the
// UMLER load from the File menu, the lot number step and Help opening the
// manual.
#include "GuiRig.h"

#include "app/FrameTexts.h"
#include "app/MakerInfo.h"
#include "app/MenuIds.h"
#include "editor/TFormatRequest.h"
#include "editor/TTagFormat.h"
#include "setup/SetupDialogs.h"
#include "setup/TFindUMLER.h"
#include "setup/TTagDate.h"
#include "setup/UmlerLoad.h"

#include <QAction>
#include <QFileDialog>
#include <QListWidget>
#include <QProgressBar>
#include <QTest>

#include <cstdio>
#include <fstream>

namespace velmora::test {
namespace {

class SetupFrame : public FrameRig {
protected:
    void Trigger(int id) {
        QAction* a = frame->Action(id);
        ASSERT_NE(a, nullptr) << id;
        a->trigger();
        QCoreApplication::processEvents();
    }
    static void Type(QLineEdit* e, const QString& text) {
        e->clear();
        QTest::keyClicks(e, text);
    }
};

TEST_F(SetupFrame, SetupMenuOpensItsDialogs) {
    BuildFrame();
    Trigger(cmd::kProgrammedBy);
    Trigger(cmd::kCertificationInitial);
    Trigger(cmd::kBackgroundColor);
    Trigger(cmd::kFindUMLER);
    const std::vector<std::string> expected = {"Programmed By Data Entry", "Vehicle Initial", "Set Background Color",
                                               "Find UMLER Data"};
    EXPECT_EQ(dialogsRun, expected);
    EXPECT_TRUE(op.boxes.empty()) << op.LastBox()->text;
}

TEST_F(SetupFrame, ProgrammedByIsStoredFromTheMenu) {
    BuildFrame();
    onDialog = [](QDialog& d) {
        if (auto* p = qobject_cast<TProgrammedBy*>(&d)) {
            Type(p->Edit(), "Depot Shops");
            p->accept();
        }
    };
    Trigger(cmd::kProgrammedBy);
    const SettingsBlock s = data.GetSettings();
    EXPECT_EQ(FixedView(s.programmedByCompany, sizeof s.programmedByCompany), "Depot Shops");
}

TEST_F(SetupFrame, NewBackgroundColourRepaintsTheForm) {
    BuildFrame();
    const QColor before = Form().palette().color(QPalette::Window);
    onDialog = [](QDialog& d) {
        if (auto* c = qobject_cast<TBackgroundColor*>(&d)) {
            c->Combo()->setCurrentIndex(c->Combo()->findText("Dark Green"));
            c->accept();
        }
    };
    Trigger(cmd::kBackgroundColor);
    const BackgroundColor dark = data.GetBackgroundColor(6);
    EXPECT_EQ(data.GetSettings().backgroundColor, 6);
    EXPECT_EQ(Form().palette().color(QPalette::Window), BackgroundColorValue(dark));
    EXPECT_NE(Form().palette().color(QPalette::Window), before);
    EXPECT_EQ(Form().Background(), BackgroundColorValue(dark));
    // A rebuilt form keeps the colour.
    SelectFormat(1);
    EXPECT_EQ(Form().palette().color(QPalette::Window), BackgroundColorValue(dark));
}

TEST_F(SetupFrame, UnknownColourLeavesTheForm) {
    BuildFrame();
    const QColor before = Form().palette().color(QPalette::Window);
    onDialog = [](QDialog& d) {
        if (auto* c = qobject_cast<TBackgroundColor*>(&d)) {
            c->Combo()->setEditText("Sky Blue");
            c->accept();
        }
    };
    Trigger(cmd::kBackgroundColor);
    EXPECT_TRUE(BoxShown(UnknownColorText("Sky Blue")));
    EXPECT_EQ(data.GetSettings().backgroundColor, 0);
    EXPECT_EQ(Form().palette().color(QPalette::Window), before);
}

TEST_F(SetupFrame, NewFormatAppearsInTheFormsList) {
    BuildFrame();
    onDialog = [](QDialog& d) {
        if (auto* request = qobject_cast<TFormatRequest*>(&d)) {
            request->List()->setCurrentRow(0); // <<New>>
            request->done(QDialog::Accepted);
        } else if (auto* editor = qobject_cast<TTagFormat*>(&d)) {
            Type(editor->NameEdit(), "Pallet");
            Type(editor->FieldNameEdit(0), "Pallet Number");
            Type(editor->StartEdit(0), "0");
            Type(editor->LengthEdit(0), "20");
            Type(editor->MinimumEdit(0), "0");
            Type(editor->MaximumEdit(0), "999999");
            QTest::mouseClick(editor->OkButton(), Qt::LeftButton);
        }
    };
    Trigger(cmd::kTagFormats);
    const std::vector<std::string> expected = {"Format Request", "AEI Tag Formats"};
    EXPECT_EQ(dialogsRun, expected);
    EXPECT_TRUE(BoxShown("A new format called \"Pallet\" has been created."));
    QComboBox* list = Form().FormatList();
    EXPECT_GE(list->findText("Pallet"), 0);
    EXPECT_EQ(list->currentText(), "Railcar"); // the form keeps its format
    SelectFormat(data.FindTagFormatByName("Pallet"));
    EXPECT_EQ(Form().Format().Name(), "Pallet");
}

TEST_F(SetupFrame, FormatInUseCannotBeDeletedFromTheMenu) {
    BuildFrame();
    bool deleteEnabled = true;
    onDialog = [&](QDialog& d) {
        if (auto* request = qobject_cast<TFormatRequest*>(&d)) {
            request->List()->setCurrentRow(1); // Railcar, on the form
            request->done(QDialog::Accepted);
        } else if (auto* editor = qobject_cast<TTagFormat*>(&d)) {
            deleteEnabled = editor->DeleteButton()->isEnabled();
        }
    };
    Trigger(cmd::kTagFormats);
    EXPECT_FALSE(deleteEnabled);
    EXPECT_TRUE(BoxShown("The Railcar format is currently being used in the tag programming window.  You must "
                         "change the active programming format to something else before you can modify or "
                         "delete this format."));
}

TEST_F(SetupFrame, UmlerRegisterLoadsFromTheFileMenu) {
    const std::string extract = dir.File("Umler.txt");
    {
        std::FILE* f = std::fopen(extract.c_str(), "wb");
        ASSERT_NE(f, nullptr);
        for (int i = 1; i <= 3000; ++i) std::fprintf(f, " ABCD%06dT123050064105001000\n", i);
        std::fclose(f);
    }
    BuildFrame();
    std::vector<int> shown;
    onDialog = [&](QDialog& d) {
        if (auto* files = qobject_cast<QFileDialog*>(&d)) {
            EXPECT_EQ(files->windowTitle(), "Load UMLER CD Data");
            files->selectFile(QString::fromStdString(extract));
            static_cast<QDialog*>(files)->done(QDialog::Accepted);
        } else if (auto* gauge = qobject_cast<TUmlerLoadGauge*>(&d)) {
            gauge->exec();
            shown = gauge->Shown();
        }
    };
    Trigger(cmd::kLoadUMLER);
    EXPECT_TRUE(op.boxes.empty()) << op.LastBox()->text;
    EXPECT_EQ(ReadFileBytes(dir.File("umlerdata.uml")).size(), 3000u * 21u);
    ASSERT_FALSE(shown.empty());
    EXPECT_EQ(shown.back(), 100);

    // The form's lookup finds a vehicle of the new register.
    Type(Form().EditAt(0), "ABCD");
    Type(Form().EditAt(1), "2999");
    Form().Command(TAEIWindow::kCmUmlerLookup);
    EXPECT_EQ(data.GetUMLERRecord().number, 2999);
}

TEST_F(SetupFrame, LotNumberStepRunsTheDialog) {
    clock.local.year = 2026;
    clock.local.dayOfYear = 100;
    BuildFrame();
    onDialog = [](QDialog& d) {
        if (auto* lot = qobject_cast<TTagDate*>(&d)) {
            Type(lot->Edit(), "22150");
            lot->accept();
        }
    };
    EXPECT_EQ(frame->ShowLotNumberDialog(), LotDialogResult::Ok);
    EXPECT_EQ(dialogsRun.back(), "Tag Manufactring Lot Number");
    EXPECT_EQ(data.GetLastTagRecord().lotDay, 150u);
    EXPECT_EQ(data.GetLastTagRecord().reconditioned, 1);
    onDialog = [](QDialog& d) { d.reject(); };
    EXPECT_EQ(frame->ShowLotNumberDialog(), LotDialogResult::Cancel);
}

TEST_F(SetupFrame, HelpOpensTheManual) {
    BuildFrame();
    std::ofstream(dir.File("Velmora Manual.pdf")) << "%PDF-1.4\n";
    Trigger(cmd::kHelp);
    ASSERT_FALSE(openedUrls.empty());
    EXPECT_NE(openedUrls.back().find("Velmora Manual.pdf"), std::string::npos);
    EXPECT_TRUE(op.boxes.empty());
}

} // namespace
} // namespace velmora::test
