// SPDX-License-Identifier: GPL-3.0-or-later
// The busy mouse pointer for the lifetime of the object, restored on every path.
#pragma once

#include <QApplication>
#include <QCursor>

namespace lmk {

class TBusyCursor {
public:
    TBusyCursor() { QApplication::setOverrideCursor(QCursor(Qt::WaitCursor)); }
    ~TBusyCursor() { QApplication::restoreOverrideCursor(); }
    TBusyCursor(const TBusyCursor &) = delete;
    TBusyCursor &operator=(const TBusyCursor &) = delete;
};

}  // namespace lmk
