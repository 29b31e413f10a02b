// SPDX-License-Identifier: GPL-3.0-or-later
// Only one copy of the program runs at a time: the first holds an exclusive lock on a file named
// "LMK Lumikon" in the user's runtime folder until it ends. The kernel releases the lock when the
// process dies, so a crashed copy never blocks the next start.
#pragma once

#include <QString>

namespace lmk {

class TSingleInstanceGuard {
public:
    // Tries to take the lock in `folder` (the user's runtime folder when empty).
    explicit TSingleInstanceGuard(const QString &folder = QString());
    ~TSingleInstanceGuard();
    TSingleInstanceGuard(const TSingleInstanceGuard &) = delete;
    TSingleInstanceGuard &operator=(const TSingleInstanceGuard &) = delete;

    // False when another copy holds the lock.
    bool IsFirstInstance() const { return FDescriptor >= 0; }

    static constexpr const char *kLockName = "LMK Lumikon";

private:
    int FDescriptor = -1;
};

}  // namespace lmk
