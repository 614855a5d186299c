// The set-up dialogs offscreen: programmed-by, certification initial,
// background colour, the lot number, Find UMLER Data, and the UMLER load
// with its gauge (moving while the window stays responsive, Cancel keeping
// the previous register).
#include "GuiRig.h"

#include "setup/ManualFile.h"
#include "setup/SetupDialogs.h"
#include "setup/TFindUMLER.h"
#include "setup/TTagDate.h"
#include "setup/UmlerLoad.h"
#include "umler/UmlerKey.h"
#include "umler/UmlerRecord.h"

#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QTest>

#include <cstdio>
#include <fstream>
#include <future>

namespace velmora::test {
namespace {

class SetupDialogs : public ::testing::Test {
protected:
    ScriptedOperator op;
    FakeClock clock;
    AEIData data{op, clock};
    TempDir dir;

    void SetUp() override {
        GuiApp();
        data.SetStartDirectory(dir.path().string() + "/");
    }
    static void Type(QLineEdit* e, const QString& text) {
        e->clear();
        QTest::keyClicks(e, text);
    }
    static void PressOk(QDialog& d) {
        for (QPushButton* b : d.findChildren<QPushButton*>())
            if (b->text().remove('&') == "OK") {
                QTest::mouseClick(b, Qt::LeftButton);
                return;
            }
        ADD_FAILURE() << "no OK button";
    }
    static bool HasLabel(QDialog& d, const QString& text) {
        for (QLabel* l : d.findChildren<QLabel*>())
            if (l->text() == text) return true;
        return false;
    }
    std::string LastText() const { return op.boxes.empty() ? std::string() : op.boxes.back().text; }
    SettingsBlock Settings() const { return data.GetSettings(); }
};

// ---- programmed by, certification initial ---------------------------------------------------

TEST_F(SetupDialogs, ProgrammedByShowsAndStoresTheCompany) {
    TProgrammedBy dialog(data);
    EXPECT_EQ(dialog.windowTitle(), "Programmed By Data Entry");
    EXPECT_TRUE(HasLabel(dialog, "Company Programmimg Tag"));
    EXPECT_EQ(dialog.Edit()->text(), "Unknown");
    EXPECT_EQ(dialog.Edit()->maxLength(), 34);
    Type(dialog.Edit(), QString(40, 'x'));
    EXPECT_EQ(dialog.Edit()->text().size(), 34);
    Type(dialog.Edit(), "Harlan Car Shops, Track 4");
    PressOk(dialog);
    EXPECT_EQ(dialog.result(), QDialog::Accepted);
    const SettingsBlock s = Settings();
    EXPECT_EQ(FixedView(s.programmedByCompany, sizeof s.programmedByCompany), "Harlan Car Shops, Track 4");
    EXPECT_EQ(s.programmedByEntry, 1);
}

TEST_F(SetupDialogs, CancelLeavesTheCompany) {
    TProgrammedBy dialog(data);
    Type(dialog.Edit(), "Other");
    dialog.reject();
    const SettingsBlock s = Settings();
    EXPECT_EQ(FixedView(s.programmedByCompany, sizeof s.programmedByCompany), "Unknown");
}

TEST_F(SetupDialogs, CertificationInitialIsUpperCasedAndPadded) {
    TCertificationData dialog(data);
    EXPECT_EQ(dialog.windowTitle(), "Vehicle Initial");
    EXPECT_TRUE(HasLabel(dialog, "Vehicle initial programmed into the tag when tag is being certified for reuse"));
    EXPECT_EQ(dialog.Edit()->text(), "XXXX");
    Type(dialog.Edit(), "a1b2");
    EXPECT_EQ(dialog.Edit()->text(), "ab"); // digits are filtered out
    PressOk(dialog);
    const SettingsBlock s = Settings();
    EXPECT_EQ(FixedView(s.certificationInitial, sizeof s.certificationInitial), "AB  ");
}

// ---- background colour -------------------------------------------------------------------------

TEST_F(SetupDialogs, BackgroundColorListsTheColoursAndSelectsTheStoredOne) {
    SettingsBlock s = Settings();
    s.backgroundColor = 2;
    data.UpdateSettings(s);
    TBackgroundColor dialog(data, {});
    EXPECT_EQ(dialog.windowTitle(), "Set Background Color");
    EXPECT_TRUE(HasLabel(dialog, "Select background color"));
    QComboBox* combo = dialog.Combo();
    ASSERT_GE(combo->count(), 7);
    const char* names[] = {"Gold", "Gray", "White", "Light Gray", "Greenish Yellow", "Green", "Dark Green"};
    for (int i = 0; i < 7; ++i) EXPECT_EQ(combo->itemText(i), names[i]);
    EXPECT_EQ(combo->currentText(), "White");
    EXPECT_TRUE(combo->isEditable());
}

TEST_F(SetupDialogs, TypedNameThatIsNoColourChangesNothing) {
    int applied = 0;
    TBackgroundColor dialog(data, [&](int) { ++applied; });
    dialog.show();
    dialog.Combo()->lineEdit()->clear();
    QTest::keyClicks(dialog.Combo()->lineEdit(), "Purple");
    PressOk(dialog);
    EXPECT_EQ(LastText(),
              "There is no color called \"Purple\".  Please select one of the colors in the list; the background "
              "color was not changed.");
    EXPECT_EQ(op.boxes.back().icon, MsgIcon::Stop);
    EXPECT_TRUE(dialog.isVisible()); // stays open for another choice
    EXPECT_EQ(Settings().backgroundColor, 0);
    EXPECT_EQ(applied, 0);
    // The listed name is.
    dialog.Combo()->lineEdit()->clear();
    QTest::keyClicks(dialog.Combo()->lineEdit(), "Gray");
    PressOk(dialog);
    EXPECT_EQ(Settings().backgroundColor, 1);
    EXPECT_EQ(applied, 1);
}

// ---- lot number ----------------------------------------------------------------------------------

TEST_F(SetupDialogs, LotNumberDialogRefusesUntilTheNumberIsGood) {
    clock.local.year = 2026;
    clock.local.dayOfYear = 150;
    TTagDate dialog(data);
    dialog.show();
    EXPECT_EQ(dialog.windowTitle(), "Tag Manufactring Lot Number");
    EXPECT_TRUE(HasLabel(dialog, "Manufacturing Lot Number"));
    EXPECT_EQ(dialog.Edit()->text(), "");
    Type(dialog.Edit(), "2a1x2");
    EXPECT_EQ(dialog.Edit()->text(), "212");
    PressOk(dialog);
    EXPECT_EQ(LastText(), "Lot date must be five digits long.");
    EXPECT_EQ(op.boxes.back().caption, data.ProductCaption());
    EXPECT_TRUE(dialog.isVisible());
    Type(dialog.Edit(), "21200");
    PressOk(dialog);
    EXPECT_EQ(dialog.result(), QDialog::Accepted);
    const LastTagRecord r = data.GetLastTagRecord();
    EXPECT_EQ(r.reconditioned, 1);
    EXPECT_EQ(r.lotDay, 200u);
    EXPECT_EQ(r.lotYear, 21u);
}

// ---- Find UMLER Data ---------------------------------------------------------------------------------

class FindUmler : public SetupDialogs {
protected:
    std::string DataFile() const { return dir.File("umlerdata.uml"); }
    void WriteRegister() {
        std::ofstream out(DataFile(), std::ios::binary);
        auto add = [&](const char* initial, int number, const char* type, int inches, int axles, int platforms,
                       int tare, int capacity) {
            UmlerRecord r;
            r.initialCode = InitialCode(initial);
            r.number = number;
            SetText(r.typeCode, type);
            r.lengthInches = static_cast<uint16_t>(inches);
            r.axles = static_cast<uint8_t>(axles);
            r.platforms = static_cast<uint8_t>(platforms);
            r.tare = static_cast<uint16_t>(tare);
            r.capacity = static_cast<uint16_t>(capacity);
            uint8_t b[kUmlerRecordSize];
            EncodeUmlerRecord(r, b);
            out.write(reinterpret_cast<const char*>(b), sizeof b);
        };
        add("ABCD", 12, "T123", 474, 4, 1, 654, 1000);
        add("NS", 1234, "D456", 720, 6, 0, 0, 0);
    }
};

TEST_F(FindUmler, FindsAVehicleWithoutTouchingTheCurrentRecord) {
    WriteRegister();
    UmlerRecord current;
    current.initialCode = -1;
    data.SetUMLERRecord(current);
    data.SetVehicleKey("");
    TFindUMLER dialog(data, DataFile());
    dialog.show();
    EXPECT_EQ(dialog.windowTitle(), "Find UMLER Data");
    EXPECT_TRUE(dialog.FindButton()->isDefault());
    Type(dialog.InitialEdit(), "ab1cd9");
    EXPECT_EQ(dialog.InitialEdit()->text(), "abcd");
    Type(dialog.NumberEdit(), "x12");
    EXPECT_EQ(dialog.NumberEdit()->text(), "12");
    QTest::mouseClick(dialog.FindButton(), Qt::LeftButton);
    EXPECT_TRUE(op.boxes.empty()) << LastText();
    EXPECT_EQ(dialog.Result(0)->text(), "T123");
    EXPECT_EQ(dialog.Result(3)->text(), "39' 6\"");
    EXPECT_EQ(data.GetUMLERRecord().initialCode, -1);
    EXPECT_EQ(data.GetVehicleKey(), "");
}

TEST_F(FindUmler, MessagesAndClear) {
    WriteRegister();
    TFindUMLER dialog(data, DataFile());
    QTest::mouseClick(dialog.FindButton(), Qt::LeftButton);
    EXPECT_EQ(LastText(), "Invalid vehicle number.");
    EXPECT_EQ(op.boxes.back().caption, "Velmora Error");
    EXPECT_EQ(op.boxes.back().icon, MsgIcon::Stop);
    Type(dialog.InitialEdit(), "ABCD");
    QTest::mouseClick(dialog.FindButton(), Qt::LeftButton);
    EXPECT_EQ(op.boxes.size(), 2u); // a number is needed too
    Type(dialog.NumberEdit(), "12");
    QTest::mouseClick(dialog.FindButton(), Qt::LeftButton);
    EXPECT_EQ(dialog.Result(0)->text(), "T123");
    // Not found: the results stay as they were.
    Type(dialog.NumberEdit(), "13");
    QTest::mouseClick(dialog.FindButton(), Qt::LeftButton);
    EXPECT_EQ(LastText(), "Cannot find car in UMLER.");
    EXPECT_EQ(dialog.Result(0)->text(), "T123");
    QTest::mouseClick(dialog.ClearButton(), Qt::LeftButton);
    EXPECT_EQ(dialog.InitialEdit()->text(), "");
    EXPECT_EQ(dialog.NumberEdit()->text(), "");
    for (int i = 0; i < 6; ++i) EXPECT_EQ(dialog.Result(i)->text(), "");
}

// ---- loading the register -----------------------------------------------------------------------------

class UmlerLoadCommand : public SetupDialogs {
protected:
    std::string Extract() const { return dir.File("Umler.txt"); }
    std::string DataFile() const { return dir.File("umlerdata.uml"); }
    // Lines in register order: initial ABCD, numbers 1..lines.
    void WriteExtract(int lines) {
        std::FILE* f = std::fopen(Extract().c_str(), "wb");
        ASSERT_NE(f, nullptr);
        for (int i = 1; i <= lines; ++i) std::fprintf(f, " ABCD%06dT123050064105001000\n", i);
        std::fclose(f);
    }
    UmlerLoadServices Services(std::function<void(TUmlerLoadGauge&)> run) {
        UmlerLoadServices s;
        s.chooseExtract = [this](QWidget*, const std::string& start) {
            EXPECT_EQ(start, data.StartDirectory());
            return std::optional<std::string>(Extract());
        };
        s.runGauge = std::move(run);
        return s;
    }
};

TEST_F(UmlerLoadCommand, GaugeMovesWhileTheWindowStaysResponsive) {
    WriteExtract(200000);
    int ticks = 0;
    int ticksAtHalf = -1;
    QString titleMidway;
    UmlerLoadServices s = Services([&](TUmlerLoadGauge& gauge) {
        EXPECT_EQ(gauge.Gauge()->minimum(), 0);
        EXPECT_EQ(gauge.Gauge()->maximum(), 100);
        // The worker waits half-way until the window has handled some timer
        // ticks: the load does not hold the event loop.
        std::promise<void> ticked;
        std::future<void> waitTicks = ticked.get_future();
        bool released = false;
        QObject::connect(&gauge, &TUmlerLoadGauge::progressed, &gauge,
                         [&](int pct) {
                             if (pct == 50) waitTicks.wait_for(std::chrono::seconds(20));
                         },
                         Qt::DirectConnection);
        QTimer timer;
        QObject::connect(&timer, &QTimer::timeout, [&] {
            ++ticks;
            if (gauge.Gauge()->value() >= 50 && titleMidway.isEmpty()) {
                titleMidway = gauge.Gauge()->text();
                ticksAtHalf = ticks;
            }
            if (!released && ticksAtHalf >= 0 && ticks >= ticksAtHalf + 3) {
                released = true;
                ticked.set_value();
            }
        });
        timer.start(5);
        gauge.exec();
        if (!released) ticked.set_value();
    });
    LoadUmlerCommand(data, nullptr, s);
    EXPECT_TRUE(op.boxes.empty()) << LastText(); // no message on success
    EXPECT_EQ(titleMidway, "Loading UMLER 50%");
    EXPECT_GT(ticks, ticksAtHalf);
    EXPECT_EQ(ReadFileBytes(DataFile()).size(), 200000u * kUmlerRecordSize);
}

TEST_F(UmlerLoadCommand, CancelKeepsThePreviousRegister) {
    WriteFileBytes(DataFile(), {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15, 16, 17, 18, 19, 20, 21});
    WriteExtract(50000);
    bool cancelledWhileRunning = false;
    LoadUmlerCommand(data, nullptr, Services([&](TUmlerLoadGauge& gauge) {
                         // The worker holds at 10% until Cancel has been pressed.
                         std::promise<void> pressed;
                         std::future<void> waitPress = pressed.get_future();
                         QObject::connect(&gauge, &TUmlerLoadGauge::progressed, &gauge,
                                          [&](int pct) {
                                              if (pct == 10) waitPress.wait_for(std::chrono::seconds(20));
                                          },
                                          Qt::DirectConnection);
                         QTimer::singleShot(0, &gauge, [&] {
                             cancelledWhileRunning = gauge.Running();
                             QTest::mouseClick(gauge.CancelButton(), Qt::LeftButton);
                             EXPECT_FALSE(gauge.CancelButton()->isEnabled());
                             pressed.set_value();
                         });
                         gauge.exec();
                     }));
    EXPECT_TRUE(cancelledWhileRunning);
    EXPECT_EQ(LastText(), "UMLER load interrupted. The previous UMLER data file is unchanged.");
    EXPECT_EQ(ReadFileBytes(DataFile()).size(), 21u);
    EXPECT_EQ(ReadFileBytes(DataFile())[0], 1);
    EXPECT_FALSE(std::filesystem::exists(DataFile() + ".tmp"));
}

TEST_F(UmlerLoadCommand, FileDialogCancelledDoesNothing) {
    UmlerLoadServices s;
    s.chooseExtract = [](QWidget*, const std::string&) { return std::optional<std::string>(); };
    int gauges = 0;
    s.runGauge = [&](TUmlerLoadGauge&) { ++gauges; };
    LoadUmlerCommand(data, nullptr, s);
    EXPECT_EQ(gauges, 0);
    EXPECT_TRUE(op.boxes.empty());
    EXPECT_FALSE(std::filesystem::exists(DataFile()));
}

// ---- the manual file ------------------------------------------------------------------------------

TEST(ManualFile, CopiedIntoTheStartDirectoryWhenMissing) {
    TempDir build;
    TempDir docs;
    TempDir start;
    const QStringList from = {QString::fromStdString(build.path().string() + "/"),
                              QString::fromStdString(docs.path().string() + "/")};
    const QString to = QString::fromStdString(start.path().string() + "/");
    EXPECT_FALSE(InstallManual(from, to)); // nothing to copy
    EXPECT_FALSE(InstallManual({}, to));
    WriteFileBytes(docs.File("Velmora Manual.pdf"), {'%', 'P', 'D', 'F'});
    EXPECT_TRUE(InstallManual(from, to)); // found in the second folder
    EXPECT_EQ(ReadFileBytes(start.File("Velmora Manual.pdf")).size(), 4u);
    EXPECT_FALSE(std::filesystem::exists(start.File("Velmora Manual.pdf.tmp")));
    // One already there is kept.
    WriteFileBytes(start.File("Velmora Manual.pdf"), {'%', 'P', 'D', 'F', '-', '2'});
    WriteFileBytes(build.File("Velmora Manual.pdf"), {'%'});
    EXPECT_TRUE(InstallManual(from, to));
    EXPECT_EQ(ReadFileBytes(start.File("Velmora Manual.pdf")).size(), 6u);
    EXPECT_EQ(ManualSourceDirectories("/opt/v/bin", "share/doc/velmora"),
              QStringList({"/opt/v/bin/", "/opt/v/share/doc/velmora/"}));
}

} // namespace
} // namespace velmora::test
