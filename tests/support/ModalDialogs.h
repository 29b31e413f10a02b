// SPDX-License-Identifier: GPL-3.0-or-later
// Driving modal dialogs from a widget test: the code under test runs a dialog's own event loop,
// so the answer has to be given from a timer while it is open.
#pragma once

#include <QStringList>
#include <functional>
#include <memory>

class QWidget;

namespace lmktest {

// Runs `action` once on the next modal dialog that appears (checked every 10 ms from the event
// loop). Call before the code that opens the dialog.
void WhenModalShown(std::function<void(QWidget *dialog)> action);

// Answers every modal message box that appears while the object lives by pressing the button
// with `buttonText`, recording each box's title and text.
class TMessageBoxAnswerer {
public:
    explicit TMessageBoxAnswerer(const QString &buttonText);
    ~TMessageBoxAnswerer();
    QStringList Texts;
    QStringList Titles;

private:
    struct TState;
    std::unique_ptr<TState> FState;
};

}  // namespace lmktest
