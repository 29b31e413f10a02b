// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/LMK_Utils.h"

#include <QAbstractButton>
#include <QApplication>
#include <QMessageBox>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <gtest/gtest.h>

#include <functional>

using namespace lmk;

namespace {

// What the open box looked like, captured before it was answered.
struct Seen {
    bool shown = false;
    QString title;
    QString text;
    QMessageBox::Icon icon = QMessageBox::NoIcon;
    QStringList buttons;      // texts, in the order the box lays them out
    QString defaultButton;    // text of the default button
};

// Shows the box through MsgBox and answers it with `answer` once it is open.
MsgResult RunBox(const QString &text, MsgKind kind, MsgButtons buttons, Seen &seen,
                 const std::function<void(QMessageBox &)> &answer)
{
    QTimer::singleShot(0, [&] {
        auto *box = qobject_cast<QMessageBox *>(QApplication::activeModalWidget());
        if (!box)
            return;  // the test below fails on seen.shown
        seen.shown = true;
        seen.title = box->windowTitle();
        seen.text = box->text();
        seen.icon = box->icon();
        for (QAbstractButton *b : box->buttons())
            seen.buttons << b->text();
        if (box->defaultButton())
            seen.defaultButton = box->defaultButton()->text();
        answer(*box);
    });
    return MsgBox(text, kind, buttons);
}

void Press(QMessageBox &box, Qt::Key key)
{
    QWidget *target = QApplication::focusWidget() ? QApplication::focusWidget() : &box;
    QTest::keyClick(target, key);
}

std::function<void(QMessageBox &)> Click(const char *text)
{
    return [text](QMessageBox &box) {
        for (QAbstractButton *b : box.buttons())
            if (b->text() == QString::fromUtf8(text)) {
                b->click();
                return;
            }
        ADD_FAILURE() << "no button " << text;
        box.close();
    };
}

std::function<void(QMessageBox &)> Key(Qt::Key key)
{
    return [key](QMessageBox &box) { Press(box, key); };
}

struct KindCase {
    const char *name;
    int code;
    const char *title;
    QMessageBox::Icon icon;
};

class MsgBoxKindTest : public testing::TestWithParam<KindCase> {};

TEST_P(MsgBoxKindTest, TitleIconAndText)
{
    const KindCase &c = GetParam();
    Seen seen;
    const QString text = "Die Datei konnte nicht\ngelesen werden.";
    const MsgResult result = RunBox(text, MsgKind(c.code), MsgButtons::OK, seen, Click("OK"));
    ASSERT_TRUE(seen.shown);
    EXPECT_EQ(seen.title, QString::fromUtf8(c.title));
    EXPECT_EQ(seen.icon, c.icon);
    EXPECT_EQ(seen.text, text);
    EXPECT_EQ(result, MsgResult::OK);
    EXPECT_EQ(MsgBoxTitle(MsgKind(c.code)), QString::fromUtf8(c.title));
}

INSTANTIATE_TEST_SUITE_P(
    Kinds, MsgBoxKindTest,
    testing::Values(KindCase{"Error", 16, "Fehlermeldung", QMessageBox::Critical},
                    KindCase{"Question", 32, "Bestätigung", QMessageBox::Question},
                    KindCase{"Warning", 48, "Hinweis", QMessageBox::Warning},
                    KindCase{"Information", 64, "Information", QMessageBox::Information},
                    KindCase{"UnknownCode", 0, "", QMessageBox::NoIcon},
                    KindCase{"OtherUnknownCode", 33, "", QMessageBox::NoIcon}),
    [](const testing::TestParamInfo<KindCase> &info) { return std::string(info.param.name); });

struct ButtonCase {
    const char *name;
    MsgButtons buttons;
    QStringList texts;  // the set, first (default) button first
    std::function<void(QMessageBox &)> answer;
    MsgResult result;
};

class MsgBoxButtonTest : public testing::TestWithParam<ButtonCase> {};

TEST_P(MsgBoxButtonTest, ButtonsDefaultAndResult)
{
    const ButtonCase &c = GetParam();
    Seen seen;
    const MsgResult result = RunBox("Frage?", MsgKind::Question, c.buttons, seen, c.answer);
    ASSERT_TRUE(seen.shown);
    QStringList sortedSeen = seen.buttons, sortedExpected = c.texts;
    sortedSeen.sort();
    sortedExpected.sort();
    EXPECT_EQ(sortedSeen, sortedExpected);
    EXPECT_EQ(seen.defaultButton, c.texts.front());
    EXPECT_EQ(result, c.result);
}

const QStringList kOK{"OK"};
const QStringList kOKCancel{"OK", "Abbrechen"};
const QStringList kYesNoCancel{"Ja", "Nein", "Abbrechen"};
const QStringList kYesNo{"Ja", "Nein"};

INSTANTIATE_TEST_SUITE_P(
    Buttons, MsgBoxButtonTest,
    testing::Values(
        ButtonCase{"OkClicked", MsgButtons::OK, kOK, Click("OK"), MsgResult::OK},
        ButtonCase{"OkReturn", MsgButtons::OK, kOK, Key(Qt::Key_Return), MsgResult::OK},
        ButtonCase{"OkEscape", MsgButtons::OK, kOK, Key(Qt::Key_Escape), MsgResult::OK},
        ButtonCase{"OkCancelOk", MsgButtons::OKCancel, kOKCancel, Click("OK"), MsgResult::OK},
        ButtonCase{"OkCancelCancel", MsgButtons::OKCancel, kOKCancel, Click("Abbrechen"), MsgResult::Cancel},
        ButtonCase{"OkCancelReturn", MsgButtons::OKCancel, kOKCancel, Key(Qt::Key_Return), MsgResult::OK},
        ButtonCase{"OkCancelEscape", MsgButtons::OKCancel, kOKCancel, Key(Qt::Key_Escape), MsgResult::Cancel},
        ButtonCase{"YesNoCancelYes", MsgButtons::YesNoCancel, kYesNoCancel, Click("Ja"), MsgResult::Yes},
        ButtonCase{"YesNoCancelNo", MsgButtons::YesNoCancel, kYesNoCancel, Click("Nein"), MsgResult::No},
        ButtonCase{"YesNoCancelCancel", MsgButtons::YesNoCancel, kYesNoCancel, Click("Abbrechen"),
                   MsgResult::Cancel},
        ButtonCase{"YesNoCancelReturn", MsgButtons::YesNoCancel, kYesNoCancel, Key(Qt::Key_Return),
                   MsgResult::Yes},
        ButtonCase{"YesNoCancelEscape", MsgButtons::YesNoCancel, kYesNoCancel, Key(Qt::Key_Escape),
                   MsgResult::Cancel},
        ButtonCase{"YesNoCancelCloseBox", MsgButtons::YesNoCancel, kYesNoCancel,
                   [](QMessageBox &box) { box.close(); }, MsgResult::Cancel},
        ButtonCase{"YesNoYes", MsgButtons::YesNo, kYesNo, Click("Ja"), MsgResult::Yes},
        ButtonCase{"YesNoNo", MsgButtons::YesNo, kYesNo, Click("Nein"), MsgResult::No},
        ButtonCase{"YesNoReturn", MsgButtons::YesNo, kYesNo, Key(Qt::Key_Return), MsgResult::Yes},
        ButtonCase{"YesNoEscape", MsgButtons::YesNo, kYesNo, Key(Qt::Key_Escape), MsgResult::No}),
    [](const testing::TestParamInfo<ButtonCase> &info) { return std::string(info.param.name); });

// The box belongs to the window the user works in, so it stays above it.
TEST(MsgBox, OwnedByTheActiveWindow)
{
    QWidget window;
    window.show();
    window.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&window));
    QWidget *owner = nullptr;
    QTimer::singleShot(0, [&] {
        auto *box = qobject_cast<QMessageBox *>(QApplication::activeModalWidget());
        ASSERT_NE(box, nullptr);
        owner = box->parentWidget();
        box->buttons().front()->click();
    });
    MsgBox("Hinweis", MsgKind::Information, MsgButtons::OK);
    EXPECT_EQ(owner, &window);
}

}  // namespace
