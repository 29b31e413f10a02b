// SPDX-License-Identifier: GPL-3.0-or-later
#include "tests/support/ModalDialogs.h"

#include <QAbstractButton>
#include <QApplication>
#include <QMessageBox>
#include <QPointer>
#include <QTimer>

namespace lmktest {

void WhenModalShown(std::function<void(QWidget *)> action)
{
    auto *timer = new QTimer(qApp);
    timer->setInterval(10);
    QObject::connect(timer, &QTimer::timeout, timer, [timer, action = std::move(action)] {
        if (QWidget *dialog = QApplication::activeModalWidget(); dialog && dialog->isVisible()) {
            timer->stop();
            timer->deleteLater();
            action(dialog);
        }
    });
    timer->start();
}

struct TMessageBoxAnswerer::TState {
    QTimer Timer;
};

TMessageBoxAnswerer::TMessageBoxAnswerer(const QString &buttonText) : FState(std::make_unique<TState>())
{
    FState->Timer.setInterval(10);
    QObject::connect(&FState->Timer, &QTimer::timeout, [this, buttonText] {
        auto *box = qobject_cast<QMessageBox *>(QApplication::activeModalWidget());
        if (!box || !box->isVisible())
            return;
        Titles << box->windowTitle();
        Texts << box->text();
        for (QAbstractButton *button : box->buttons())
            if (button->text() == buttonText) {
                button->click();
                return;
            }
        box->reject();
    });
    FState->Timer.start();
}

TMessageBoxAnswerer::~TMessageBoxAnswerer() = default;

}  // namespace lmktest
