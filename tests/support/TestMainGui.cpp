// SPDX-License-Identifier: GPL-3.0-or-later
#include <QGuiApplication>
#include <gtest/gtest.h>

int main(int argc, char **argv)
{
    QGuiApplication app(argc, argv);  // fonts and QPainter on pictures need a GUI application
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
