// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/SingleInstance.h"

#include <QDir>
#include <QFile>
#include <QStandardPaths>
#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

namespace lmk {

TSingleInstanceGuard::TSingleInstanceGuard(const QString &folder)
{
    QString dir = folder.isEmpty() ? QStandardPaths::writableLocation(QStandardPaths::RuntimeLocation) : folder;
    if (dir.isEmpty())
        dir = QDir::tempPath();
    const QByteArray path = QFile::encodeName(QDir(dir).filePath(QString::fromLatin1(kLockName)));
    FDescriptor = ::open(path.constData(), O_RDWR | O_CREAT | O_CLOEXEC, 0600);
    if (FDescriptor >= 0 && ::flock(FDescriptor, LOCK_EX | LOCK_NB) != 0) {
        ::close(FDescriptor);
        FDescriptor = -1;
    }
}

TSingleInstanceGuard::~TSingleInstanceGuard()
{
    if (FDescriptor >= 0)
        ::close(FDescriptor);  // closing the descriptor releases the lock
}

}  // namespace lmk
