// SPDX-License-Identifier: GPL-3.0-or-later
// The way commands change the picture: quick operations on a working copy and tool dialogs
// with their result after OK, with the busy pointer and the undo step.
#include "app/Unit_Message.h"
#include "app/Unit_ToolProtocol.h"
#include "tests/support/ModalDialogs.h"
#include "tests/support/Pixels.h"

#include <QApplication>
#include <gtest/gtest.h>
#include <stdexcept>

using namespace lmk;

namespace {

class NoQuestions : public TDocumentPrompts {
public:
    MsgResult Ask(const QString &, MsgKind, MsgButtons) override { return MsgResult::OK; }
    bool ChooseSaveFile(const QString &, const QString &, QString &, SaveFileType &) override { return false; }
    bool ConfirmJpegQuality() override { return false; }
};

// A tool dialog as the program's dialogs are: made on the picture, its result fetched after OK.
class TDLG_Probe : public QDialog {
public:
    TDLG_Probe(QWidget *owner, const Bitmap &picture) : QDialog(owner), FResult(picture)
    {
        FResult.Fill(9, 8, 7);
        NoticeWhileMade = !QApplication::topLevelWidgets().isEmpty() && NoticeShown();
    }
    const Bitmap &GetProbeBitmap() const { return FResult; }
    bool NoticeWhileMade = false;

private:
    static bool NoticeShown()
    {
        for (QWidget *widget : QApplication::topLevelWidgets())
            if (auto *notice = qobject_cast<TForm_Message *>(widget))
                if (notice->isVisible() && notice->Message() == "Schriften werden geladen...")
                    return true;
        return false;
    }
    Bitmap FResult;
};

class ToolProtocol : public ::testing::Test {
protected:
    void SetUp() override
    {
        Bitmap picture(4, 3, PixelFormat::pf24bit);
        picture.Fill(100, 110, 120);
        Document.ReplaceByScan(picture);  // a picture without an undo step, unchanged
    }
    NoQuestions Prompts;
    TPhotoDocument Document{Prompts};
};

TEST_F(ToolProtocol, AQuickOperationWorksOnA32BitCopyAndRecordsTheUndoStep)
{
    const std::shared_ptr<const Bitmap> before = Document.SharedCurrent();
    PixelFormat seen = PixelFormat::pf24bit;
    bool busy = false;
    ApplyQuickOperation(Document, [&](Bitmap &picture) {
        seen = picture.Format();
        busy = QApplication::overrideCursor() && QApplication::overrideCursor()->shape() == Qt::WaitCursor;
        picture.Fill(1, 2, 3);
    });
    EXPECT_EQ(seen, PixelFormat::pf32bit);
    EXPECT_TRUE(busy);
    EXPECT_EQ(QApplication::overrideCursor(), nullptr);
    EXPECT_EQ(lmktest::At(Document.Current(), 0, 0), (lmktest::Bgr{3, 2, 1}));
    EXPECT_EQ(lmktest::At(*before, 0, 0), (lmktest::Bgr{120, 110, 100}));  // the old picture untouched
    EXPECT_TRUE(Document.CanUndo());
    EXPECT_TRUE(Document.PhotoChanged());
}

TEST_F(ToolProtocol, AFailingOperationLeavesThePhotoAndRestoresThePointer)
{
    const std::shared_ptr<const Bitmap> before = Document.SharedCurrent();
    EXPECT_THROW(ApplyQuickOperation(Document,
                                     [](Bitmap &picture) {
                                         picture.Fill(0, 0, 0);
                                         throw std::runtime_error("kaputt");
                                     }),
                 std::runtime_error);
    EXPECT_EQ(QApplication::overrideCursor(), nullptr);
    EXPECT_EQ(Document.SharedCurrent(), before);
    EXPECT_FALSE(Document.CanUndo());
    EXPECT_FALSE(Document.PhotoChanged());
}

TEST_F(ToolProtocol, OnlyOkTakesTheDialogsResult)
{
    struct Row {
        bool accept;
        bool edited;
    };
    for (const Row row : {Row{false, false}, Row{true, true}}) {
        SetUp();
        lmktest::WhenModalShown([&](QWidget *dialog) {
            row.accept ? static_cast<QDialog *>(dialog)->accept() : static_cast<QDialog *>(dialog)->reject();
        });
        RunToolDialog(Document, nullptr, ToolDialogOf<TDLG_Probe, &TDLG_Probe::GetProbeBitmap>());
        EXPECT_EQ(Document.CanUndo(), row.edited);
        EXPECT_EQ(lmktest::At(Document.Current(), 3, 2), row.edited ? (lmktest::Bgr{7, 8, 9}) : (lmktest::Bgr{120, 110, 100}));
        EXPECT_EQ(QApplication::overrideCursor(), nullptr);
        Document.Undo();
    }
}

TEST_F(ToolProtocol, TheNoticeStandsWhileTheDialogIsMadeAndGoesBeforeItRuns)
{
    bool noticeWhileRunning = true;
    bool noticeWhileMade = false;
    TToolDialog<TDLG_Probe> tool = ToolDialogOf<TDLG_Probe, &TDLG_Probe::GetProbeBitmap>(QStringLiteral("Schriften werden geladen..."));
    const auto create = tool.Create;
    tool.Create = [&](QWidget *owner, const Bitmap &picture) {
        auto dialog = create(owner, picture);
        noticeWhileMade = dialog->NoticeWhileMade;
        return dialog;
    };
    lmktest::WhenModalShown([&](QWidget *dialog) {
        noticeWhileRunning = false;
        for (QWidget *widget : QApplication::topLevelWidgets())
            noticeWhileRunning |= qobject_cast<TForm_Message *>(widget) != nullptr;
        static_cast<QDialog *>(dialog)->reject();
    });
    RunToolDialog(Document, nullptr, tool);
    EXPECT_TRUE(noticeWhileMade);
    EXPECT_FALSE(noticeWhileRunning);
}

}  // namespace
