// The operator on real widgets: the boxes it builds, the answers it gives,
// prompts forwarded to the frame and notifications delivered later.
#include "GuiRig.h"

#include "qt/QtOperator.h"

#include <QAbstractButton>
#include <QMessageBox>
#include <QTimer>

#include <gtest/gtest.h>

#include <memory>

namespace velmora {
namespace {

using test::GuiApp;

TEST(QtOperatorTest, BoxesCarryTheirIconsButtonsAndTexts) {
    GuiApp();
    struct Case {
        MsgIcon icon;
        QMessageBox::Icon expected;
    };
    for (const Case c : {Case{MsgIcon::Stop, QMessageBox::Critical}, Case{MsgIcon::Question, QMessageBox::Question},
                         Case{MsgIcon::Information, QMessageBox::Information},
                         Case{MsgIcon::Exclamation, QMessageBox::Warning}}) {
        std::unique_ptr<QMessageBox> box(QtOperator::BuildBox(nullptr, "Velmora Error", "a <b>text</b>", c.icon,
                                                              MsgButtons::Ok));
        EXPECT_EQ(box->icon(), c.expected);
        EXPECT_EQ(box->windowTitle(), "Velmora Error");
        EXPECT_EQ(box->text(), "a <b>text</b>");
        EXPECT_EQ(box->textFormat(), Qt::PlainText) << "device and operator texts are never markup";
        EXPECT_EQ(box->standardButtons(), QMessageBox::Ok);
    }
    std::unique_ptr<QMessageBox> yesNo(
        QtOperator::BuildBox(nullptr, "c", "t", MsgIcon::Question, MsgButtons::YesNo));
    EXPECT_EQ(yesNo->standardButtons(), QMessageBox::Yes | QMessageBox::No);
}

TEST(QtOperatorTest, AnswersFollowThePressedButton) {
    EXPECT_EQ(QtOperator::AnswerFor(QMessageBox::Yes, MsgButtons::YesNo), MsgAnswer::Yes);
    EXPECT_EQ(QtOperator::AnswerFor(QMessageBox::No, MsgButtons::YesNo), MsgAnswer::No);
    EXPECT_EQ(QtOperator::AnswerFor(QMessageBox::Ok, MsgButtons::Ok), MsgAnswer::Ok);
    // A box closed without a button gives the safe answer.
    EXPECT_EQ(QtOperator::AnswerFor(-1, MsgButtons::YesNo), MsgAnswer::No);
    EXPECT_EQ(QtOperator::AnswerFor(-1, MsgButtons::OkCancel), MsgAnswer::Cancel);
}

TEST(QtOperatorTest, RunsAModalBoxAndReturnsTheOperatorsChoice) {
    GuiApp();
    QtOperator op;
    QString seenText;
    QTimer::singleShot(0, [&] {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        ASSERT_NE(box, nullptr);
        seenText = box->text();
        box->button(QMessageBox::No)->click();
    });
    const MsgAnswer a = op.MessageBox("Velmora for Windows", "Do you want to continue?", MsgIcon::Question,
                                      MsgButtons::YesNo);
    EXPECT_EQ(a, MsgAnswer::No);
    EXPECT_EQ(seenText, "Do you want to continue?");
}

TEST(QtOperatorTest, PromptsGoToTheSinkAndNotificationsArriveLater) {
    GuiApp();
    QtOperator op;
    std::vector<std::pair<std::string, int>> prompts;
    op.SetPromptSink([&](const std::string& t, int b) { prompts.emplace_back(t, b); });
    op.ShowPrompt("Reading Tag", 1);
    ASSERT_EQ(prompts.size(), 1u);
    EXPECT_EQ(prompts[0].first, "Reading Tag");
    EXPECT_EQ(prompts[0].second, 1);
    EXPECT_EQ(op.LastPrompt(), "Reading Tag");

    std::vector<int> delivered;
    QObject::connect(&op, &QtOperator::notificationDelivered, [&](int code) { delivered.push_back(code); });
    op.PostNotification(5);
    op.PostNotification(6);
    EXPECT_TRUE(delivered.empty()) << "never delivered from inside the caller";
    QCoreApplication::processEvents();
    EXPECT_EQ(delivered, (std::vector<int>{5, 6}));
}

TEST(QtOperatorTest, TextsKeepSingleByteCharacters) {
    EXPECT_EQ(ToCoreText(FromCoreText("50'6\" \xb0")), "50'6\" \xb0");
    EXPECT_EQ(ToCoreText(QString::fromUtf8("a\xe2\x82\xac")), "a?") << "a character beyond one byte";
}

} // namespace
} // namespace velmora
