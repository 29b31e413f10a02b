// SPDX-License-Identifier: GPL-3.0-or-later
// One running copy: the lock in-process, and two real program processes on a private X server.
#include "app/SingleInstance.h"
#include "tests/support/TestFiles.h"

#include <QDir>
#include <QFileInfo>
#include <QProcess>
#include <QStandardPaths>
#include <QTest>
#include <gtest/gtest.h>
#include <unistd.h>

using namespace lmk;
using lmktest::TempFolder;

namespace {

QString LockPath(const TempFolder &runtime) { return runtime.Path(TSingleInstanceGuard::kLockName); }

// True while some process holds the lock (util-linux flock fails at once then).
bool LockHeld(const TempFolder &runtime)
{
    int code = 0;
    lmktest::RunTool("flock", {"-n", LockPath(runtime), "true"}, &code);
    return code != 0;
}

bool WaitFor(const std::function<bool()> &condition, int ms = 20000)
{
    for (int waited = 0; waited < ms; waited += 50) {
        if (condition())
            return true;
        QTest::qWait(50);
    }
    return condition();
}

}  // namespace

TEST(SingleInstance, TheLockIsExclusiveAndReleasedWithItsHolder)
{
    TempFolder runtime;
    {
        TSingleInstanceGuard first(runtime.Root());
        ASSERT_TRUE(first.IsFirstInstance());
        TSingleInstanceGuard second(runtime.Root());
        EXPECT_FALSE(second.IsFirstInstance());
        EXPECT_TRUE(LockHeld(runtime));
    }
    EXPECT_FALSE(LockHeld(runtime));

    // A copy that dies without cleaning up leaves the file but not the lock.
    QProcess holder;
    holder.start("flock", {"--close", LockPath(runtime), "sleep", "30"});  // only flock itself holds it
    ASSERT_TRUE(WaitFor([&] { return LockHeld(runtime); }));
    EXPECT_FALSE(TSingleInstanceGuard(runtime.Root()).IsFirstInstance());
    holder.kill();
    holder.waitForFinished();
    // flock's child may still be between its fork and closing the descriptor for a moment
    ASSERT_TRUE(WaitFor([&] { return !LockHeld(runtime); }, 5000));
    EXPECT_TRUE(QFileInfo::exists(LockPath(runtime)));
    EXPECT_TRUE(TSingleInstanceGuard(runtime.Root()).IsFirstInstance());
}

TEST(SingleInstance, ASecondStartShowsItsMessageAndEndsWhileTheFirstRuns)
{
    const QString program = QStringLiteral(LUMIKON_BINARY_DIR "/lumikon");
    if (QStandardPaths::findExecutable("Xvfb").isEmpty() || QStandardPaths::findExecutable("xdotool").isEmpty())
        GTEST_SKIP() << "needs Xvfb and xdotool";
    ASSERT_TRUE(QFileInfo(program).isExecutable());

    TempFolder home, runtime;
    QFile::setPermissions(runtime.Root(), QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
    const QString display = QStringLiteral(":%1").arg(100 + getpid() % 400);
    QProcess server;
    server.start("Xvfb", {display, "-screen", "0", "1024x768x24", "-nolisten", "tcp"});
    ASSERT_TRUE(WaitFor([&] { return QFileInfo::exists("/tmp/.X11-unix/X" + display.mid(1)); }, 10000));

    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert("HOME", home.Root());
    env.insert("XDG_CONFIG_HOME", home.Path("config"));
    env.insert("XDG_RUNTIME_DIR", runtime.Root());
    env.insert("DISPLAY", display);
    env.insert("QT_QPA_PLATFORM", "xcb");
    const auto start = [&](QProcess &p) {
        p.setProcessEnvironment(env);
        p.start(program, {});
        return p.waitForStarted();
    };
    const auto windowsOf = [&](const QProcess &p) {
        QProcessEnvironment x = env;
        QProcess search;
        search.setProcessEnvironment(x);
        search.start("xdotool", {"search", "--onlyvisible", "--pid", QString::number(p.processId())});
        search.waitForFinished();
        return QString::fromUtf8(search.readAllStandardOutput()).split('\n', Qt::SkipEmptyParts);
    };

    QProcess first, second;
    ASSERT_TRUE(start(first));
    ASSERT_TRUE(WaitFor([&] { return LockHeld(runtime); })) << "the first copy never took the lock";
    ASSERT_TRUE(start(second));
    ASSERT_TRUE(WaitFor([&] { return !windowsOf(second).isEmpty() || second.state() != QProcess::Running; }));
    EXPECT_EQ(second.state(), QProcess::Running) << "the second copy must wait for its message to be read";
    const QStringList boxes = windowsOf(second);
    ASSERT_EQ(boxes.size(), 1);

    QProcess key;
    key.setProcessEnvironment(env);
    key.start("xdotool", {"windowfocus", "--sync", boxes.front(), "key", "Return"});
    key.waitForFinished();
    ASSERT_TRUE(second.waitForFinished(10000));
    EXPECT_EQ(second.exitCode(), 0);
    EXPECT_EQ(first.state(), QProcess::Running);
    EXPECT_TRUE(LockHeld(runtime));

    first.kill();
    first.waitForFinished();
    server.terminate();
    server.waitForFinished();
}
