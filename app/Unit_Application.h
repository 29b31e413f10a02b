// SPDX-License-Identifier: GPL-3.0-or-later
// The application object: the dark look of every window, Qt's German texts, and the general
// error report for errors that escape an event handler.
#pragma once

#include <QApplication>
#include <QTranslator>
#include <functional>

namespace lmk {

class TLumikonApplication : public QApplication {
public:
    TLumikonApplication(int &argc, char **argv);

    // Delivers an event; an exception escaping its handler is shown with its own text in an
    // error box, and the program goes on.
    bool notify(QObject *receiver, QEvent *event) override;

    // The dark Fusion look, shared by the program and its widget tests.
    static void ApplyDarkStyle(QApplication &app);

    // Runs `deliver`; an exception escaping it is shown with its own text (error, OK) and
    // false is returned.
    static bool ReportEscapedErrors(const std::function<bool()> &deliver);

private:
    QTranslator FQtGerman;
};

}  // namespace lmk
