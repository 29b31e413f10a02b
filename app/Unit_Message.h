// SPDX-License-Identifier: GPL-3.0-or-later
// TForm_Message: the small notice window shown while a slow step runs. The caller creates it,
// calls ShowNow, runs the step and lets the window go out of scope:
//
//     TForm_Message notice(this, QStringLiteral("Bitte warten ..."));
//     notice.ShowNow();
//     SlowStep();
#pragma once

#include <QWidget>

class QLabel;

namespace lmk {

class TForm_Message : public QWidget {
    Q_OBJECT
public:
    static constexpr int kClientWidth = 294;
    static constexpr int kClientHeight = 56;

    TForm_Message(QWidget *owner, const QString &message);

    // Shows the window and has it painted at once, before the caller's slow step blocks the
    // event loop. Input events wait, so no command can start in between.
    void ShowNow();
    QString Message() const;

private:
    QLabel *FLabel;
};

}  // namespace lmk
