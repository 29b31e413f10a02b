// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/HelpContexts.h"
#include "app/LMK_Utils.h"
#include "app/Unit_Help.h"
#include "app/Unit_Var.h"
#include "tests/support/ModalDialogs.h"
#include "tests/support/TestFiles.h"

#include <QAbstractButton>
#include <QApplication>
#include <QDialog>
#include <QFile>
#include <QPushButton>
#include <QRegularExpression>
#include <QTest>
#include <QTextBlock>
#include <QTextDocument>
#include <QTimer>
#include <QTreeWidget>
#include <QTreeWidgetItemIterator>
#include <QtEndian>

#include <chm_lib.h>
#include <gtest/gtest.h>

#include <memory>
#include <random>
#include <set>

// Readable texts in failure messages.
void PrintTo(const QString &text, std::ostream *out) { *out << '"' << text.toStdString() << '"'; }

namespace {

const QString kCompiledHelpFile = QStringLiteral(LUMIKON_BINARY_DIR "/Lumikon.chm");

// The title each context's page must carry: the caption of the window it helps with.
struct TopicCase {
    int context;
    const char *title;
};
const TopicCase kTopics[] = {
    {lmk::help::MainWindow, "Das Hauptfenster"},
    {lmk::help::Scan, "Fotos einscannen"},
    {lmk::help::Resolution, "Bildgröße ändern"},
    {lmk::help::Editor, "Farben, Helligkeit und Kontrast anpassen"},
    {lmk::help::Sharpen, "Bild schärfen"},
    {lmk::help::Cutting, "Bildschnitt"},
    {lmk::help::Repair, "Bildfehler korrigieren"},
    {lmk::help::RedEye, "Rote Augen entfernen"},
    {lmk::help::Text, "Text einfügen"},
    {lmk::help::Frame, "Bilderrahmen wählen"},
    {lmk::help::PrintChooser, "Drucken"},
    {lmk::help::PrintPhoto, "Fotodruck"},
    {lmk::help::PrintCards, "Kartendruck"},
    {lmk::help::PrintPoster, "Posterdruck"},
    {lmk::help::PrintCalendar, "Kalenderdruck"},
    {lmk::help::ShadeAndExif, "Bild mit Schatten und EXIF-Daten"},
    {lmk::help::JpegQuality, "JPG-Komprimierung"},
    {lmk::help::Correction, "Bildausrichtung korrigieren"},
};

// A plain chmlib reader of the test's own, so that the compiled file is checked without the
// program's help classes.
struct ChmCloser {
    void operator()(chmFile *file) const { chm_close(file); }
};
using ChmHandle = std::unique_ptr<chmFile, ChmCloser>;

QByteArray ReadChmObject(chmFile *file, const QByteArray &path)
{
    chmUnitInfo info{};
    if (chm_resolve_object(file, path.constData(), &info) != CHM_RESOLVE_SUCCESS)
        return {};
    QByteArray bytes(qsizetype(info.length), '\0');
    const LONGINT64 read = chm_retrieve_object(
        file, &info, reinterpret_cast<unsigned char *>(bytes.data()), 0, LONGINT64(info.length));
    return read == LONGINT64(info.length) ? bytes : QByteArray();
}

bool ChmHasObject(chmFile *file, const QByteArray &path)
{
    chmUnitInfo info{};
    return chm_resolve_object(file, path.constData(), &info) == CHM_RESOLVE_SUCCESS;
}

// The topic names may carry the folder the file was compiled in; the object is the longest
// trailing part of the name that exists in the file.
QByteArray ObjectOfTopicName(chmFile *file, const QByteArray &name)
{
    for (qsizetype slash = name.indexOf('/'); slash >= 0; slash = name.indexOf('/', slash + 1))
        if (ChmHasObject(file, name.mid(slash)))
            return name.mid(slash);
    return {};
}

QString TitleOfPage(const QByteArray &html)
{
    static const QRegularExpression title(QStringLiteral("<title>([^<]*)</title>"),
                                          QRegularExpression::CaseInsensitiveOption);
    return title.match(QString::fromUtf8(html)).captured(1).trimmed();
}

class HelpTest : public ::testing::Test {
protected:
    void SetUp() override { lmk::HelpFileName = kCompiledHelpFile; }
    void TearDown() override
    {
        delete lmk::HelpWindow();
        lmk::HelpFileName.clear();
    }
};

TEST_F(HelpTest, EveryContextOfTheCompiledFileLeadsToItsOwnPage)
{
    ChmHandle file(chm_open(QFile::encodeName(kCompiledHelpFile).constData()));
    ASSERT_TRUE(file) << "no help file at " << kCompiledHelpFile.toStdString();
    const QByteArray ivb = ReadChmObject(file.get(), "/#IVB");
    const QByteArray strings = ReadChmObject(file.get(), "/#STRINGS");
    ASSERT_GE(ivb.size(), 4);
    const quint32 byteCount = qFromLittleEndian<quint32>(ivb.constData());
    ASSERT_EQ(qsizetype(byteCount) + 4, ivb.size());

    std::map<int, QByteArray> pageOfContext;
    for (qsizetype pos = 4; pos + 8 <= ivb.size(); pos += 8) {
        const int context = int(qFromLittleEndian<quint32>(ivb.constData() + pos));
        const quint32 offset = qFromLittleEndian<quint32>(ivb.constData() + pos + 4);
        ASSERT_LT(offset, quint32(strings.size()));
        const QByteArray name = strings.mid(offset, strings.indexOf('\0', offset) - offset);
        pageOfContext[context] = ObjectOfTopicName(file.get(), name);
    }

    std::set<QByteArray> pages;
    for (const TopicCase &topic : kTopics) {
        SCOPED_TRACE(topic.context);
        ASSERT_TRUE(pageOfContext.count(topic.context));
        const QByteArray page = pageOfContext[topic.context];
        ASSERT_FALSE(page.isEmpty());
        EXPECT_TRUE(pages.insert(page).second) << "shared page " << page.toStdString();
        EXPECT_EQ(TitleOfPage(ReadChmObject(file.get(), page)), QString::fromUtf8(topic.title));
    }
    EXPECT_EQ(pageOfContext.size(), std::size(lmk::help::AllContexts));
}

TEST_F(HelpTest, WindowShowsTheContextsPageAndSwitchesOnTheNextRequest)
{
    lmk::ShowHelpContext(lmk::help::Resolution);
    lmk::TForm_Help *window = lmk::HelpWindow();
    ASSERT_NE(window, nullptr);
    EXPECT_TRUE(window->isVisible());
    EXPECT_EQ(window->CurrentTitle(), QStringLiteral("Bildgröße ändern"));
    ASSERT_NE(window->TreeView_Contents->currentItem(), nullptr);
    EXPECT_EQ(window->TreeView_Contents->currentItem()->text(0), QStringLiteral("Bildgröße ändern"));

    for (const TopicCase &topic : kTopics) {
        SCOPED_TRACE(topic.context);
        lmk::ShowHelpContext(topic.context);
        EXPECT_EQ(lmk::HelpWindow(), window);  // the same window, brought forward
        EXPECT_EQ(window->CurrentTitle(), QString::fromUtf8(topic.title));
        EXPECT_FALSE(window->Browser_Topic->toPlainText().trimmed().isEmpty());
    }
}

TEST_F(HelpTest, NumberWithoutTopicShowsTheContentsPage)
{
    lmk::ShowHelpContext(4711);
    ASSERT_NE(lmk::HelpWindow(), nullptr);
    EXPECT_EQ(lmk::HelpWindow()->CurrentTopic(), QStringLiteral("/index.html"));
    EXPECT_EQ(lmk::HelpWindow()->CurrentTitle(), QStringLiteral("Inhalt"));
}

TEST_F(HelpTest, PicturesAndStyleSheetComeFromTheFile)
{
    lmk::ShowHelpContext(lmk::help::MainWindow);
    lmk::TForm_Help *window = lmk::HelpWindow();
    ASSERT_NE(window, nullptr);
    QTextDocument *page = window->Browser_Topic->document();

    QStringList pictures;
    for (QTextBlock block = page->begin(); block.isValid(); block = block.next())
        for (auto it = block.begin(); !it.atEnd(); ++it)
            if (it.fragment().charFormat().isImageFormat())
                pictures << it.fragment().charFormat().toImageFormat().name();
    ASSERT_FALSE(pictures.isEmpty());
    for (const QString &name : pictures) {
        SCOPED_TRACE(name.toStdString());
        const QImage picture =
            page->resource(QTextDocument::ImageResource, QUrl(name)).value<QImage>();
        EXPECT_FALSE(picture.isNull());
    }
    const QImage banner = window->Browser_Topic
                              ->loadResource(QTextDocument::ImageResource, QUrl("bilder/titel.png"))
                              .value<QImage>();
    EXPECT_EQ(banner.size(), QSize(480, 48));

    // The heading's colour is set only by the style sheet inside the file.
    QTextBlock heading = page->begin();
    while (heading.isValid() && heading.blockFormat().headingLevel() != 1)
        heading = heading.next();
    ASSERT_TRUE(heading.isValid());
    EXPECT_EQ(heading.begin().fragment().charFormat().foreground().color(), QColor("#2b3a4a"));
}

TEST_F(HelpTest, LinksAndContentsOpenPagesInsideTheFile)
{
    lmk::ShowHelpContext(4711);
    lmk::TForm_Help *window = lmk::HelpWindow();
    ASSERT_NE(window, nullptr);

    emit window->Browser_Topic->anchorClicked(QUrl(QStringLiteral("scannen.html")));
    EXPECT_EQ(window->CurrentTopic(), QStringLiteral("/scannen.html"));
    EXPECT_EQ(window->CurrentTitle(), QStringLiteral("Fotos einscannen"));
    EXPECT_EQ(window->TreeView_Contents->currentItem()->text(0), QStringLiteral("Fotos einscannen"));

    // Every page of the contents opens, with the contents entry's name as its title.
    int entries = 0;
    for (QTreeWidgetItemIterator it(window->TreeView_Contents); *it; ++it) {
        const QString local = (*it)->data(0, Qt::UserRole).toString();
        if (local.isEmpty())
            continue;  // a heading
        SCOPED_TRACE(local.toStdString());
        window->TreeView_Contents->setCurrentItem(*it);
        EXPECT_EQ(window->CurrentTopic(), local);
        EXPECT_EQ(window->CurrentTitle(), (*it)->text(0));
        ++entries;
    }
    EXPECT_EQ(entries, int(std::size(kTopics)) + 1);

    window->Button_Back->click();
    EXPECT_NE(window->CurrentTopic(), QStringLiteral("/index.html"));
    window->Button_Home->click();
    EXPECT_EQ(window->CurrentTopic(), QStringLiteral("/index.html"));
}

TEST_F(HelpTest, HelpWindowCanBeUsedWhileAModalDialogIsOpen)
{
    QDialog dialog;
    dialog.setWindowTitle(QStringLiteral("Bildgröße ändern"));
    QString topicAfterClick;
    QTimer::singleShot(0, &dialog, [&] {
        lmk::ShowHelpContext(lmk::help::Resolution);
        lmk::TForm_Help *window = lmk::HelpWindow();
        if (window) {
            QTreeWidget *tree = window->TreeView_Contents;
            QTreeWidgetItem *scan =
                tree->findItems(QStringLiteral("Fotos einscannen"), Qt::MatchRecursive).value(0);
            if (scan) {
                // Sent to the window as the window system would, so that a window blocked by
                // the modal dialog does not get it.
                const QPoint point = tree->viewport()->mapTo(
                    window, tree->visualItemRect(scan).center());
                QTest::mouseClick(window->windowHandle(), Qt::LeftButton, {}, point);
            }
            topicAfterClick = window->CurrentTopic();
        }
        dialog.accept();
    });
    dialog.exec();
    EXPECT_EQ(topicAfterClick, QStringLiteral("/scannen.html"));
    ASSERT_NE(lmk::HelpWindow(), nullptr);
    EXPECT_TRUE(lmk::HelpWindow()->isVisible());  // the dialog's end leaves the help open
}

TEST_F(HelpTest, MissingFileGivesAMessageAndNoWindow)
{
    lmk::ShowHelpContext(lmk::help::MainWindow);
    ASSERT_NE(lmk::HelpWindow(), nullptr);
    lmktest::TempFolder folder;
    lmk::HelpFileName = folder.Path(QStringLiteral("Lumikon.chm"));
    lmktest::TMessageBoxAnswerer answerer(QStringLiteral("OK"));
    lmk::ShowHelpContext(lmk::help::Scan);
    EXPECT_EQ(answerer.Titles, QStringList{QStringLiteral("Fehlermeldung")});
    EXPECT_EQ(answerer.Texts, QStringList{QStringLiteral("Die Hilfedatei wurde nicht gefunden!")});
    EXPECT_EQ(lmk::HelpWindow(), nullptr);
}

QByteArray CompiledFile()
{
    QFile file(kCompiledHelpFile);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

QByteArray RandomBytes(qsizetype count)
{
    std::mt19937 random(1234);
    QByteArray bytes(count, '\0');
    for (char &byte : bytes)
        byte = char(random());
    return bytes;
}

// The compiled file with a stretch of its bytes overwritten.
QByteArray Scrambled(qsizetype from, qsizetype count)
{
    QByteArray bytes = CompiledFile();
    const QByteArray noise = RandomBytes(count);
    bytes.replace(from, count, noise);
    return bytes;
}

TEST_F(HelpTest, DamagedFileGivesAMessageAndNoCrash)
{
    const QByteArray good = CompiledFile();
    ASSERT_GT(good.size(), 8192);
    const struct {
        const char *what;
        QByteArray bytes;
    } cases[] = {
        {"empty", {}},
        {"random bytes", RandomBytes(20000)},
        {"header only", good.left(0x60)},
        {"cut after the directory", good.left(good.size() / 4)},
        {"cut in the middle", good.left(good.size() / 2)},
        {"last bytes missing", good.left(good.size() - 16)},
        {"directory overwritten", Scrambled(0x60, 0x1000)},
        {"compressed pages overwritten", Scrambled(good.size() / 2, good.size() / 2)},
        {"start of the compressed pages overwritten", Scrambled(good.size() - 18000, 600)},
    };
    for (const auto &damage : cases) {
        SCOPED_TRACE(damage.what);
        lmktest::TempFolder folder;
        folder.Write(QStringLiteral("Lumikon.chm"), damage.bytes);
        lmk::HelpFileName = folder.Path(QStringLiteral("Lumikon.chm"));
        lmktest::TMessageBoxAnswerer answerer(QStringLiteral("OK"));
        lmk::ShowHelpContext(lmk::help::Frame);
        EXPECT_EQ(answerer.Texts, QStringList{QStringLiteral(
                                      "Die Hilfedatei ist beschädigt und kann nicht angezeigt werden!")});
        EXPECT_TRUE(lmk::HelpWindow() == nullptr || !lmk::HelpWindow()->isVisible());
        delete lmk::HelpWindow();
    }
}

TEST(HelpContextMap, DamagedEntriesAreLeftOut)
{
    auto le32 = [](quint32 value) {
        QByteArray bytes(4, '\0');
        qToLittleEndian(value, bytes.data());
        return bytes;
    };
    const QByteArray strings("\0/a/index.html\0/b.html\0/unterminated", 36);
    const QByteArray pairs = le32(1000) + le32(1) + le32(1001) + le32(15) + le32(1002) + le32(999) +
                             le32(1003) + le32(23);
    const struct {
        const char *what;
        QByteArray ivb;
        std::map<int, QString> expected;
    } cases[] = {
        {"all pairs", le32(32) + pairs,
         {{1000, "/a/index.html"}, {1001, "/b.html"}, {1003, "/unterminated"}}},
        {"count smaller than the pairs", le32(8) + pairs, {{1000, "/a/index.html"}}},
        {"count beyond the object", le32(4000) + pairs.left(12), {{1000, "/a/index.html"}}},
        {"too short", QByteArray("\x08\x00", 2), {}},
    };
    for (const auto &test : cases) {
        SCOPED_TRACE(test.what);
        EXPECT_EQ(lmk::ParseContextMap(test.ivb, strings), test.expected);
    }
}

TEST(HelpContents, NestedListsBecomeATree)
{
    const QByteArray hhc = R"(<HTML><BODY>
<OBJECT type="text/site properties"><param name="Name" value="ignored"></OBJECT>
<UL>
 <LI><OBJECT type="text/sitemap"><param name="Name" value="Inhalt"><param name="Local" value="index.html"></OBJECT>
 <LI><object type='text/sitemap'><PARAM NAME=Name VALUE="Drucken &amp; Karten"></object>
 <UL>
  <LI><OBJECT type="text/sitemap"><param name="Name" value="Fotodruck"><param name="Local" value="druck\foto.html"></OBJECT>
  <LI><OBJECT type="text/sitemap"><param name="Name" value="Größe"><param name="Local" value="g.html#teil"></OBJECT>
 </UL>
 <LI><OBJECT type="text/sitemap"><param name="Name" value="Ende"><param name="Local" value="ende.html"></OBJECT>
</UL></BODY></HTML>)";
    const std::vector<lmk::TContentsEntry> tree = lmk::ParseContents(hhc);
    ASSERT_EQ(tree.size(), 3u);
    EXPECT_EQ(tree[0].Name, QStringLiteral("Inhalt"));
    EXPECT_EQ(tree[0].Local, QStringLiteral("/index.html"));
    EXPECT_EQ(tree[1].Name, QStringLiteral("Drucken & Karten"));
    EXPECT_TRUE(tree[1].Local.isEmpty());
    ASSERT_EQ(tree[1].Children.size(), 2u);
    EXPECT_EQ(tree[1].Children[0].Local, QStringLiteral("/druck/foto.html"));
    EXPECT_EQ(tree[1].Children[1].Name, QStringLiteral("Größe"));
    EXPECT_EQ(tree[1].Children[1].Local, QStringLiteral("/g.html#teil"));
    EXPECT_EQ(tree[2].Name, QStringLiteral("Ende"));
    EXPECT_TRUE(tree[2].Children.empty());
}

}  // namespace
