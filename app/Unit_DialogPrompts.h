// SPDX-License-Identifier: GPL-3.0-or-later
// The document's questions asked with the program's real dialogs.
#pragma once

#include "app/Unit_PhotoDocument.h"

class QWidget;

namespace lmk {

class TDialogPrompts : public TDocumentPrompts {
public:
    explicit TDialogPrompts(QWidget *owner) : FOwner(owner) {}
    MsgResult Ask(const QString &text, MsgKind kind, MsgButtons buttons) override;
    bool ChooseSaveFile(const QString &startFolder, const QString &proposedName, QString &fileName,
                        SaveFileType &type) override;
    bool ConfirmJpegQuality() override;

private:
    QWidget *FOwner;
};

// The save dialog's filter list, JPEG first.
QStringList SaveFileFilters();

}  // namespace lmk
