// SPDX-License-Identifier: GPL-3.0-or-later
// How commands change the current picture. A quick operation runs on a 32-bit working copy; a
// tool dialog works on the picture and hands back its result after OK. Either way the result
// becomes the current picture with an undo step only when everything went well, and the busy
// pointer never outlives the command, also when an error ends it.
#pragma once

#include "app/BusyCursor.h"
#include "app/Unit_Message.h"
#include "app/Unit_PhotoDocument.h"

#include <QDialog>
#include <functional>
#include <memory>

namespace lmk {

using TPictureOperation = std::function<void(Bitmap &)>;

// Runs `operation` under the busy pointer on a 32-bit copy of the current picture, which then
// becomes the current picture with an undo step.
void ApplyQuickOperation(TPhotoDocument &document, const TPictureOperation &operation);

// How a tool dialog is made on the current picture and what it hands back after OK.
template <class Dialog>
struct TToolDialog {
    std::function<std::unique_ptr<Dialog>(QWidget *owner, const Bitmap &picture)> Create;
    std::function<Bitmap(Dialog &dialog)> Result;
    // Shown while the dialog is being made, for dialogs whose making takes a while; empty: none.
    QString Notice;
};

// The usual tool dialog: made from (owner, picture), its result read by `Getter` after OK.
template <class Dialog, auto Getter>
TToolDialog<Dialog> ToolDialogOf(const QString &notice = QString())
{
    return {[](QWidget *owner, const Bitmap &picture) { return std::make_unique<Dialog>(owner, picture); },
            [](Dialog &dialog) { return Bitmap((dialog.*Getter)()); }, notice};
}

// Makes the dialog (behind its notice, if any), runs it modally and, after OK, takes its result
// as the new current picture. Any other outcome leaves the photo as it was.
template <class Dialog>
void RunToolDialog(TPhotoDocument &document, QWidget *owner, const TToolDialog<Dialog> &tool)
{
    std::unique_ptr<Dialog> dialog;
    if (tool.Notice.isEmpty()) {
        dialog = tool.Create(owner, document.Current());
    } else {
        TForm_Message notice(owner, tool.Notice);
        notice.ShowNow();
        dialog = tool.Create(owner, document.Current());
    }
    if (dialog->exec() != QDialog::Accepted)
        return;
    TBusyCursor busy;
    document.ApplyEdit(tool.Result(*dialog));
}

}  // namespace lmk
