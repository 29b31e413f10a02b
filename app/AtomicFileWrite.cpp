// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/AtomicFileWrite.h"

#include <QFile>
#include <QFileInfo>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace lmk {

static QString SystemReason() { return QString::fromLocal8Bit(std::strerror(errno)); }

TAtomicFileWrite::TAtomicFileWrite(const QString &targetFileName) : FTarget(targetFileName)
{
    const QFileInfo target(targetFileName);
    QByteArray pattern = QFile::encodeName(target.absolutePath() + "/." + target.fileName() + ".XXXXXX");
    const int fd = ::mkstemp(pattern.data());
    if (fd < 0)
        throw FileWriteError(SystemReason().toStdString());
    ::close(fd);
    FTemporary = QFile::decodeName(pattern);
}

TAtomicFileWrite::~TAtomicFileWrite()
{
    if (!FCommitted)
        ::unlink(QFile::encodeName(FTemporary).constData());
}

void TAtomicFileWrite::Commit()
{
    const QByteArray temporary = QFile::encodeName(FTemporary);
    const QByteArray target = QFile::encodeName(FTarget);
    struct stat old {};
    mode_t mode;
    if (::stat(target.constData(), &old) == 0) {
        mode = old.st_mode & 07777;
    } else {
        const mode_t mask = ::umask(0);
        ::umask(mask);
        mode = 0666 & ~mask;
    }
    if (::chmod(temporary.constData(), mode) != 0 || std::rename(temporary.constData(), target.constData()) != 0)
        throw FileWriteError(SystemReason().toStdString());
    FCommitted = true;
}

}  // namespace lmk
