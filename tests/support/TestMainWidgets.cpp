// SPDX-License-Identifier: GPL-3.0-or-later
#include <QApplication>
#include <QLibraryInfo>
#include <QTranslator>
#include <gtest/gtest.h>

int main(int argc, char **argv)
{
    QApplication app(argc, argv);
    QTranslator qtGerman;  // Qt's own buttons and dialogs in German, as in the program
    if (qtGerman.load("qtbase_de", QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
        app.installTranslator(&qtGerman);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
