// SPDX-License-Identifier: GPL-3.0-or-later
// Start of the program: one running copy, the dark look, the splash window, the main window.
#include "app/SingleInstance.h"
#include "app/Unit_Application.h"
#include "app/Unit_Lumikon.h"
#include "app/Unit_Splash.h"

#include <QMessageBox>
#include <memory>

int main(int argc, char **argv)
{
    lmk::TLumikonApplication app(argc, argv);

    const lmk::TSingleInstanceGuard guard;
    if (!guard.IsFirstInstance()) {
        QMessageBox box(QMessageBox::NoIcon, QStringLiteral("LMK Lumikon"),
                        QStringLiteral("LMK Lumikon wurde bereits gestartet!"), QMessageBox::Ok);
        box.exec();
        return 0;
    }

    std::unique_ptr<lmk::TForm_Lumikon> window;
    {
        lmk::TForm_Splash splash;
        splash.ShowNow();
        const QStringList arguments = QCoreApplication::arguments();
        try {
            window = std::make_unique<lmk::TForm_Lumikon>(arguments.size() > 1 ? arguments.at(1) : QString());
        } catch (const lmk::StartAborted &) {
            return 1;
        }
    }
    window->show();
    return app.exec();
}
