// SPDX-License-Identifier: GPL-3.0-or-later
// Small helpers for tests that write and read real files.
#pragma once

#include <QByteArray>
#include <QString>
#include <QTemporaryDir>
#include <ostream>

// Lets GoogleTest print texts in its failure messages.
inline std::ostream &operator<<(std::ostream &out, const QString &text) { return out << text.toStdString(); }

namespace lmktest {

// A fresh temporary folder per test, removed with the object.
class TempFolder {
public:
    TempFolder();
    QString Path(const QString &name) const;  // full path of a file inside the folder
    QString Root() const { return FDir.path(); }
    void Write(const QString &name, const QByteArray &bytes) const;
    QByteArray Read(const QString &name) const;
    QStringList Entries() const;  // the names of all files in the folder

private:
    QTemporaryDir FDir;
};

// Runs a program and returns what it printed on standard output; empty when it cannot start
// or fails.
QString RunTool(const QString &program, const QStringList &arguments, int *exitCode = nullptr);

}  // namespace lmktest
