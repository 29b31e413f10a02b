// SPDX-License-Identifier: GPL-3.0-or-later
#include "tests/support/TestFiles.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <stdexcept>

namespace lmktest {

TempFolder::TempFolder()
{
    if (!FDir.isValid())
        throw std::runtime_error("no temporary folder");
}

QString TempFolder::Path(const QString &name) const { return FDir.filePath(name); }

void TempFolder::Write(const QString &name, const QByteArray &bytes) const
{
    QFile f(Path(name));
    if (!f.open(QIODevice::WriteOnly) || f.write(bytes) != bytes.size())
        throw std::runtime_error("cannot write test file");
}

QByteArray TempFolder::Read(const QString &name) const
{
    QFile f(Path(name));
    if (!f.open(QIODevice::ReadOnly))
        return {};
    return f.readAll();
}

QStringList TempFolder::Entries() const
{
    return QDir(FDir.path()).entryList(QDir::Files | QDir::Hidden | QDir::System);
}

QString RunTool(const QString &program, const QStringList &arguments, int *exitCode)
{
    QProcess p;
    p.start(program, arguments);
    if (!p.waitForFinished(120000)) {
        if (exitCode)
            *exitCode = -1;
        return {};
    }
    if (exitCode)
        *exitCode = p.exitCode();
    return QString::fromUtf8(p.readAllStandardOutput());
}

}  // namespace lmktest
