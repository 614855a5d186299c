// A fleet list on the simulated bench: a 50-line list opened with File >
// "Import Tag List..." and programmed with 50 presses of F1 leaves the 50
// cars in the tag log in list order and the counter 50 higher.
#include "SimBench.h"

#include "app/MenuIds.h"

#include <sstream>

namespace velmora {
namespace {

class ImportListEndToEnd : public test::SimBench {
protected:
    void SetUp() override {
        AppServices s;
        s.frame.runDialog = [](QDialog&) {};
        s.frame.chooseImportList = [this](QWidget*, const std::string&) {
            return std::optional<std::string>(startDir.File("fleet.txt"));
        };
        Start({}, [](SettingsBlock& b) { b.programmedTotal = 200; }, std::move(s));
    }
    bool Idle(int total = 0) {
        return (total == 0 || app->Data().GetSettings().programmedTotal == total) &&
               GetProgrammerState(app->Data()).operationState == kOpIdle;
    }
};

TEST_F(ImportListEndToEnd, FiftyPressesOfF1ProgramTheWholeList) {
    ASSERT_TRUE(QTest::qWaitFor([&] { return GetProgrammerState(app->Data()).on == 1; }, 15000));
    std::string list;
    for (int n = 1; n <= 50; ++n) list += "TTX," + std::to_string(5000 + n) + ",RIGHT,89-4,4,1,0\n";
    test::WriteFileBytes(startDir.File("fleet.txt"), std::vector<uint8_t>(list.begin(), list.end()));

    Frame().RunCommand(cmd::kImportTagList);
    for (int n = 1; n <= 50; ++n) {
        ASSERT_EQ(Form().EditAt(1)->text().toStdString(), std::to_string(5000 + n));
        // Between tags the link checks the programmer's status now and then.
        ASSERT_TRUE(QTest::qWaitFor([&] { return Idle(); }, 15000));
        Form().FocusField(0);
        QTest::keyClick(Frame().focusWidget(), Qt::Key_F1);
        ASSERT_TRUE(QTest::qWaitFor([&] { return Idle(200 + n); }, 15000))
            << n << ": " << Frame().PromptText().toStdString();
    }
    EXPECT_TRUE(Frame().PromptText().contains("every line of the list is done"));
    std::istringstream log(test::ReadTextFile(startDir.File("tag log.txt")));
    int n = 0;
    for (std::string line; std::getline(log, line);)
        EXPECT_NE(line.find("\"Railcar,TTX ," + std::to_string(5000 + ++n) + ",RIGHT,89'4\""), std::string::npos)
            << line;
    EXPECT_EQ(n, 50);
}

} // namespace
} // namespace velmora
