// SPDX-License-Identifier: GPL-3.0-or-later
// The help window: reads the compiled help file "Lumikon.chm" with chmlib, finds the topic of a
// context number in the file's own context map and shows its pages, pictures and table of
// contents. ShowHelpContext (LMK_Utils.h) opens it.
#pragma once

#include <QByteArray>
#include <QString>
#include <QTextBrowser>
#include <QUrl>
#include <QVariant>
#include <QWidget>

#include <map>
#include <memory>
#include <optional>
#include <stdexcept>
#include <vector>

struct chmFile;
class QTreeWidget;
class QTreeWidgetItem;
class QPushButton;

namespace lmk {

// A help file that cannot be opened or whose contents cannot be read.
class THelpFileError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// One entry of the table of contents; Local is the object path of its page ("" for a heading).
struct TContentsEntry {
    QString Name;
    QString Local;
    std::vector<TContentsEntry> Children;
};

// The context map of a help file from its "/#IVB" object (a 32-bit byte count, then pairs of
// 32-bit context number and offset into "/#STRINGS") and its "/#STRINGS" object (topic names,
// each ending with a zero byte). Pairs that point outside the strings are left out.
std::map<int, QString> ParseContextMap(const QByteArray &ivb, const QByteArray &strings);

// The entries of a sitemap table of contents (the ".hhc" object): nested <UL> lists of <LI>
// items, each with an <OBJECT> whose <param> tags give "Name" and "Local".
std::vector<TContentsEntry> ParseContents(const QByteArray &hhc);

// Read access to a compiled help file. Object paths begin with "/" ("/index.html").
class THelpFile {
public:
    // Opens the file and reads its context map and table of contents; throws THelpFileError
    // when the file is missing or damaged (cut off, a page or the context map unreadable).
    explicit THelpFile(const QString &fileName);

    QString FileName() const { return FFileName; }
    QString Title() const { return FTitle; }
    QString DefaultTopic() const { return FDefaultTopic; }
    const std::vector<TContentsEntry> &Contents() const { return FContents; }

    // The object's bytes, or nothing when the file has no such object or it cannot be read.
    std::optional<QByteArray> ReadObject(const QString &path) const;
    // A page's text (the path may carry an "#anchor"), or nothing when it is missing or damaged.
    std::optional<QByteArray> ReadPage(const QString &path) const;
    // The object path of a context number's topic, or "" when the map has no such number.
    QString TopicOfContext(int context) const;

private:
    struct TCloser {
        void operator()(chmFile *file) const;
    };

    void CheckObjects() const;
    void ReadContextMap();
    QString ObjectPathOfTopic(const QString &topicName) const;
    void ReadSystemInfo();

    QString FFileName;
    std::unique_ptr<chmFile, TCloser> FFile;
    QString FTitle;
    QString FDefaultTopic;
    QString FContentsFile;
    std::map<int, QString> FTopics;  // context number -> object path
    std::vector<TContentsEntry> FContents;
};

// The page view: loads pages, style sheets and pictures from the help file.
class THelpBrowser : public QTextBrowser {
    Q_OBJECT
public:
    THelpBrowser(const THelpFile &file, QWidget *parent);
    QVariant loadResource(int type, const QUrl &name) override;

private:
    const THelpFile &FFile;
};

// The non-modal help window: the table of contents on the left, the page on the right.
class TForm_Help : public QWidget {
    Q_OBJECT
public:
    explicit TForm_Help(std::unique_ptr<THelpFile> file);

    const THelpFile &HelpFile() const { return *FFile; }
    // Shows the page of an object path ("/index.html", optionally with "#anchor").
    void ShowTopic(const QString &path);
    // The object path of the page shown ("/index.html").
    QString CurrentTopic() const;
    QString CurrentTitle() const;

    QTreeWidget *TreeView_Contents = nullptr;
    THelpBrowser *Browser_Topic = nullptr;
    QPushButton *Button_Back = nullptr;
    QPushButton *Button_Forward = nullptr;
    QPushButton *Button_Home = nullptr;

private:
    void FillContents(QTreeWidgetItem *parent, const std::vector<TContentsEntry> &entries);
    void Browser_TopicSourceChanged(const QUrl &url);
    void Browser_TopicAnchorClicked(const QUrl &url);
    void TreeView_ContentsCurrentItemChanged(QTreeWidgetItem *item);

    std::unique_ptr<THelpFile> FFile;
};

// The URL of an object of the help file as the browser sees it.
QUrl HelpUrl(const QString &path);

// The help window that is open, or nullptr.
TForm_Help *HelpWindow();

}  // namespace lmk
