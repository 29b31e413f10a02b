// SPDX-License-Identifier: GPL-3.0-or-later
// Writing a user's file so that a crash or a failed write never destroys the old one: the data
// goes to a temporary file in the target's folder, which `Commit` renames over the target. A
// write that is not committed removes its temporary file.
#pragma once

#include <QString>
#include <stdexcept>

namespace lmk {

class FileWriteError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

class TAtomicFileWrite {
public:
    // Creates the temporary file; throws FileWriteError with the system's reason.
    explicit TAtomicFileWrite(const QString &targetFileName);
    ~TAtomicFileWrite();
    TAtomicFileWrite(const TAtomicFileWrite &) = delete;
    TAtomicFileWrite &operator=(const TAtomicFileWrite &) = delete;

    // Where the data is to be written before the commit.
    const QString &TemporaryFileName() const { return FTemporary; }
    // Gives the file the permissions a new file of the user gets (or the old file's) and renames
    // it over the target; throws FileWriteError with the system's reason.
    void Commit();

private:
    QString FTarget;
    QString FTemporary;
    bool FCommitted = false;
};

}  // namespace lmk
