// The operator on real widgets: the boxes it builds, the answer of the
// pressed button, prompts forwarded and notifications delivered later.
#include "GuiRig.h"

#include "qt/QtOperator.h"

#include <QAbstractButton>
#include <QMessageBox>

namespace velmora::test {
namespace {

TEST(QtOperatorTest, BoxesCarryTheirIconsAndButtonsAndAnswerThePressedOne) {
    GuiApp();
    for (const auto& [icon, expected] : std::vector<std::pair<MsgIcon, QMessageBox::Icon>>{
             {MsgIcon::Stop, QMessageBox::Critical}, {MsgIcon::Question, QMessageBox::Question},
             {MsgIcon::Information, QMessageBox::Information}, {MsgIcon::Exclamation, QMessageBox::Warning}}) {
        std::unique_ptr<QMessageBox> box(QtOperator::BuildBox(nullptr, "Velmora Error", "a <b>text</b>", icon,
                                                              MsgButtons::YesNo));
        EXPECT_EQ(box->icon(), expected);
        EXPECT_EQ(box->windowTitle(), "Velmora Error");
        EXPECT_EQ(box->textFormat(), Qt::PlainText) << "device and operator texts are never markup";
        EXPECT_EQ(box->standardButtons(), QMessageBox::Yes | QMessageBox::No);
    }
    EXPECT_EQ(QtOperator::AnswerFor(QMessageBox::Yes, MsgButtons::YesNo), MsgAnswer::Yes);
    EXPECT_EQ(QtOperator::AnswerFor(QMessageBox::Ok, MsgButtons::Ok), MsgAnswer::Ok);
    EXPECT_EQ(QtOperator::AnswerFor(-1, MsgButtons::YesNo), MsgAnswer::No) << "closed: the safe answer";
    EXPECT_EQ(QtOperator::AnswerFor(-1, MsgButtons::OkCancel), MsgAnswer::Cancel);

    QtOperator op;
    QTimer::singleShot(0, [] {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        ASSERT_NE(box, nullptr);
        box->button(QMessageBox::No)->click();
    });
    EXPECT_EQ(op.MessageBox("Velmora for Windows", "Continue?", MsgIcon::Question, MsgButtons::YesNo), MsgAnswer::No);
}

TEST(QtOperatorTest, PromptsGoToTheSinkAndNotificationsArriveLater) {
    GuiApp();
    QtOperator op;
    std::vector<std::pair<std::string, int>> prompts;
    op.SetPromptSink([&](const std::string& t, int b) { prompts.emplace_back(t, b); });
    op.ShowPrompt("Reading Tag", 1);
    EXPECT_EQ(prompts, (std::vector<std::pair<std::string, int>>{{"Reading Tag", 1}}));
    std::vector<int> delivered;
    QObject::connect(&op, &QtOperator::notificationDelivered, [&](int code) { delivered.push_back(code); });
    op.PostNotification(5);
    op.PostNotification(6);
    EXPECT_TRUE(delivered.empty()) << "never delivered from inside the caller";
    QCoreApplication::processEvents();
    EXPECT_EQ(delivered, (std::vector<int>{5, 6}));
    EXPECT_EQ(ToCoreText(FromCoreText("50'6\" \xb0")), "50'6\" \xb0") << "single-byte characters kept";
    EXPECT_EQ(ToCoreText(QString::fromUtf8("a\xe2\x82\xac")), "a?") << "a character beyond one byte";
}

} // namespace
} // namespace velmora::test
