// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/Unit_Help.h"

#include "app/LMK_Utils.h"
#include "app/Unit_Var.h"

#include <QApplication>
#include <QDesktopServices>
#include <QDialog>
#include <QFile>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QImage>
#include <QKeySequence>
#include <QPointer>
#include <QPushButton>
#include <QRegularExpression>
#include <QScreen>
#include <QShortcut>
#include <QSignalBlocker>
#include <QSplitter>
#include <QStringDecoder>
#include <QTextDocument>
#include <QTextDocumentFragment>
#include <QTreeWidget>
#include <QTreeWidgetItemIterator>
#include <QVBoxLayout>
#include <QWindow>
#include <QtEndian>

#include <chm_lib.h>

#include <algorithm>

namespace lmk {

namespace {

const QString kHelpScheme = QStringLiteral("lmkhelp");
const QString kFileMissingText = QStringLiteral("Die Hilfedatei wurde nicht gefunden!");
const QString kFileDamagedText =
    QStringLiteral("Die Hilfedatei ist beschädigt und kann nicht angezeigt werden!");
const QString kDefaultWindowTitle = QStringLiteral("LMK Lumikon - Hilfe");

// No page, picture or table of a help file comes near this; a bigger length is a damaged
// directory entry and must not make us allocate it.
constexpr LONGUINT64 kMaxObjectBytes = 64u * 1024u * 1024u;

// Codes of the "/#SYSTEM" records this window uses.
enum SystemCode : quint16 { ContentsFileCode = 0, DefaultTopicCode = 2, TitleCode = 3 };

quint32 ReadLE32(const QByteArray &bytes, qsizetype pos)
{
    return qFromLittleEndian<quint32>(bytes.constData() + pos);
}

quint16 ReadLE16(const QByteArray &bytes, qsizetype pos)
{
    return qFromLittleEndian<quint16>(bytes.constData() + pos);
}

// Text written by the help compiler: UTF-8 where it is valid, else the 8-bit code page.
QString DecodeText(const QByteArray &bytes)
{
    QStringDecoder utf8(QStringDecoder::Utf8);
    QString text = utf8(bytes);
    return utf8.hasError() ? QString::fromLatin1(bytes) : text;
}

// A zero-terminated string inside a record (the terminator may be missing).
QString ZeroTerminated(const QByteArray &bytes)
{
    const qsizetype end = bytes.indexOf('\0');
    return DecodeText(end < 0 ? bytes : bytes.left(end));
}

// "index.html", "\\bilder\\x.png", "ms-its:Lumikon.chm::/a.html" -> "/index.html" ...
QString NormalizedObjectPath(QString path)
{
    const qsizetype separator = path.indexOf(QStringLiteral("::"));
    if (separator >= 0)
        path = path.mid(separator + 2);
    path.replace('\\', '/');
    if (!path.startsWith('/'))
        path.prepend('/');
    return path;
}

QString HtmlAttributeText(const QString &value)
{
    return QTextDocumentFragment::fromHtml(value).toPlainText();
}

QMap<QString, QString> TagAttributes(const QString &text)
{
    static const QRegularExpression attribute(
        QStringLiteral(R"re((\w+)\s*=\s*(?:"([^"]*)"|'([^']*)'|([^\s"'>]+)))re"));
    QMap<QString, QString> attributes;
    for (auto it = attribute.globalMatch(text); it.hasNext();) {
        const QRegularExpressionMatch match = it.next();
        QString value = match.captured(2);
        if (value.isEmpty())
            value = match.captured(3);
        if (value.isEmpty())
            value = match.captured(4);
        attributes.insert(match.captured(1).toLower(), HtmlAttributeText(value));
    }
    return attributes;
}

}  // namespace

std::map<int, QString> ParseContextMap(const QByteArray &ivb, const QByteArray &strings)
{
    std::map<int, QString> topics;
    if (ivb.size() < 4)
        return topics;
    const qsizetype end = std::min<qsizetype>(ivb.size(), 4 + qsizetype(ReadLE32(ivb, 0)));
    for (qsizetype pos = 4; pos + 8 <= end; pos += 8) {
        const int context = int(ReadLE32(ivb, pos));
        const quint32 offset = ReadLE32(ivb, pos + 4);
        if (offset >= quint32(strings.size()))
            continue;
        const QString name = ZeroTerminated(strings.mid(offset));
        if (!name.isEmpty())
            topics.emplace(context, name);
    }
    return topics;
}

std::vector<TContentsEntry> ParseContents(const QByteArray &hhc)
{
    static const QRegularExpression tag(QStringLiteral(R"re(<\s*(/?)\s*(\w+)([^>]*)>)re"));
    std::vector<TContentsEntry> root;
    // The lists being filled, outermost first. Only the last one grows, so the pointers to
    // the outer ones stay valid.
    std::vector<std::vector<TContentsEntry> *> lists;
    std::optional<TContentsEntry> entry;  // the sitemap object being read
    const QString text = DecodeText(hhc);
    for (auto it = tag.globalMatch(text); it.hasNext();) {
        const QRegularExpressionMatch match = it.next();
        const bool closing = !match.captured(1).isEmpty();
        const QString name = match.captured(2).toLower();
        std::vector<TContentsEntry> *current = lists.empty() ? &root : lists.back();
        if (name == QLatin1String("ul")) {
            if (closing) {
                if (!lists.empty())
                    lists.pop_back();
            } else {
                // A nested list belongs to the item before it.
                lists.push_back(lists.empty() || current->empty() ? current
                                                                  : &current->back().Children);
            }
        } else if (name == QLatin1String("object")) {
            if (closing) {
                if (entry)
                    current->push_back(std::move(*entry));
                entry.reset();
            } else if (TagAttributes(match.captured(3)).value(QStringLiteral("type"))
                           .compare(QLatin1String("text/sitemap"), Qt::CaseInsensitive) == 0) {
                entry.emplace();
            }
        } else if (name == QLatin1String("param") && entry) {
            const QMap<QString, QString> attributes = TagAttributes(match.captured(3));
            const QString key = attributes.value(QStringLiteral("name")).toLower();
            const QString value = attributes.value(QStringLiteral("value"));
            if (key == QLatin1String("name"))
                entry->Name = value;
            else if (key == QLatin1String("local") && !value.isEmpty())
                entry->Local = NormalizedObjectPath(value);
        }
    }
    return root;
}

// --- THelpFile ----------------------------------------------------------------------------

void THelpFile::TCloser::operator()(chmFile *file) const { chm_close(file); }

THelpFile::THelpFile(const QString &fileName) : FFileName(fileName)
{
    if (QFileInfo(fileName).isFile())
        FFile.reset(chm_open(QFile::encodeName(fileName).constData()));
    if (!FFile)
        throw THelpFileError("cannot open the help file " + fileName.toStdString());
    CheckObjects();
    ReadSystemInfo();
    ReadContextMap();
    if (!FContentsFile.isEmpty())
        if (const std::optional<QByteArray> hhc = ReadObject(FContentsFile))
            FContents = ParseContents(*hhc);
    if (FDefaultTopic.isEmpty() && !FContents.empty())
        FDefaultTopic = FContents.front().Local;
    if (FDefaultTopic.isEmpty() || !ReadPage(FDefaultTopic))
        throw THelpFileError("the start page of the help file cannot be read");
}

void THelpFile::CheckObjects() const
{
    // chmlib reads a cut-off or overwritten file without complaint: it hands out zeros for a
    // missing part and whatever the decompressor makes of damaged data. So every object of the
    // uncompressed space (among them the compressed space itself) must still end inside the
    // file, and every text object must read back as text. The help file is small; reading it
    // once when the window opens costs a few milliseconds.
    std::vector<chmUnitInfo> objects;
    chm_enumerate(
        FFile.get(), CHM_ENUMERATE_ALL,
        [](chmFile *, chmUnitInfo *info, void *context) -> int {
            static_cast<std::vector<chmUnitInfo> *>(context)->push_back(*info);
            return CHM_ENUMERATOR_CONTINUE;
        },
        &objects);
    static const QRegularExpression textObject(QStringLiteral(R"re(\.(html?|hhc|hhk|css)$)re"),
                                               QRegularExpression::CaseInsensitiveOption);
    for (chmUnitInfo &info : objects) {
        if (info.space == CHM_UNCOMPRESSED && info.length > 0) {
            unsigned char last = 0;
            if (chm_retrieve_object(FFile.get(), &info, &last, info.length - 1, 1) != 1)
                throw THelpFileError("the help file is truncated");
        }
        const QString path = QString::fromUtf8(info.path);
        if (textObject.match(path).hasMatch() && !ReadPage(path))
            throw THelpFileError("damaged object in the help file: " + path.toStdString());
    }
}

void THelpFile::ReadContextMap()
{
    // The map is optional, but a map that is there must be whole: a damaged one would send a
    // help request to the wrong page without a word.
    const std::optional<QByteArray> ivb = ReadObject(QStringLiteral("/#IVB"));
    if (!ivb)
        return;
    const QByteArray strings = ReadObject(QStringLiteral("/#STRINGS")).value_or(QByteArray());
    const std::map<int, QString> names = ParseContextMap(*ivb, strings);
    if (ivb->size() < 4 || ReadLE32(*ivb, 0) != quint32(ivb->size() - 4) ||
        qsizetype(names.size()) * 8 != ivb->size() - 4)
        throw THelpFileError("the context map of the help file is damaged");
    for (const auto &[context, name] : names) {
        const QString path = ObjectPathOfTopic(name);
        if (path.isEmpty())
            throw THelpFileError("the context map names a missing topic");
        FTopics.emplace(context, path);
    }
}

void THelpFile::ReadSystemInfo()
{
    // "/#SYSTEM": a 32-bit version, then records of a 16-bit code, a 16-bit length and data.
    const QByteArray system = ReadObject(QStringLiteral("/#SYSTEM")).value_or(QByteArray());
    for (qsizetype pos = 4; pos + 4 <= system.size();) {
        const quint16 code = ReadLE16(system, pos);
        const quint16 length = ReadLE16(system, pos + 2);
        const QByteArray data = system.mid(pos + 4, length);
        pos += 4 + length;
        switch (code) {
        case ContentsFileCode: FContentsFile = NormalizedObjectPath(ZeroTerminated(data)); break;
        case DefaultTopicCode: FDefaultTopic = NormalizedObjectPath(ZeroTerminated(data)); break;
        case TitleCode: FTitle = ZeroTerminated(data); break;
        default: break;
        }
    }
}

std::optional<QByteArray> THelpFile::ReadObject(const QString &path) const
{
    chmUnitInfo info{};
    const QByteArray objectPath = path.toUtf8();
    if (objectPath.isEmpty() ||
        chm_resolve_object(FFile.get(), objectPath.constData(), &info) != CHM_RESOLVE_SUCCESS)
        return std::nullopt;
    if (info.length > kMaxObjectBytes)
        return std::nullopt;
    QByteArray bytes(qsizetype(info.length), Qt::Uninitialized);
    if (info.length == 0)
        return bytes;
    const LONGINT64 read = chm_retrieve_object(
        FFile.get(), &info, reinterpret_cast<unsigned char *>(bytes.data()), 0,
        LONGINT64(info.length));
    if (read != LONGINT64(info.length))
        return std::nullopt;
    return bytes;
}

std::optional<QByteArray> THelpFile::ReadPage(const QString &path) const
{
    // A text page starts with markup and never holds a zero byte; anything else was decoded
    // from damaged data.
    std::optional<QByteArray> page = ReadObject(QUrl(path).path());
    if (!page || page->contains('\0'))
        return std::nullopt;
    QByteArray start = page->left(64).trimmed();
    if (start.startsWith("\xEF\xBB\xBF"))
        start = start.mid(3).trimmed();
    if (!start.isEmpty() && !start.startsWith('<') && !start.startsWith("/*"))
        return std::nullopt;
    return page;
}

QString THelpFile::ObjectPathOfTopic(const QString &topicName) const
{
    // The help compiler writes a topic's full path on the machine that built the file
    // ("/home/.../help/index.html"); the object inside the file is a trailing part of it.
    // The longest trailing part that names an object is the topic.
    QString candidate = NormalizedObjectPath(topicName);
    while (!candidate.isEmpty()) {
        chmUnitInfo info{};
        if (chm_resolve_object(FFile.get(), candidate.toUtf8().constData(), &info) ==
            CHM_RESOLVE_SUCCESS)
            return candidate;
        const qsizetype next = candidate.indexOf('/', 1);
        candidate = next < 0 ? QString() : candidate.mid(next);
    }
    return {};
}

QString THelpFile::TopicOfContext(int context) const
{
    const auto it = FTopics.find(context);
    return it == FTopics.end() ? QString() : it->second;
}

// --- THelpBrowser -------------------------------------------------------------------------

QUrl HelpUrl(const QString &path)
{
    QUrl base;
    base.setScheme(kHelpScheme);
    base.setPath(QStringLiteral("/"));
    return base.resolved(QUrl(NormalizedObjectPath(path)));
}

THelpBrowser::THelpBrowser(const THelpFile &file, QWidget *parent)
    : QTextBrowser(parent), FFile(file)
{
}

QVariant THelpBrowser::loadResource(int type, const QUrl &name)
{
    const QUrl url = name.isRelative() ? source().resolved(name) : name;
    // Pages of the help file reach only the help file, never the disk or the network.
    if (url.scheme() != kHelpScheme)
        return {};
    const std::optional<QByteArray> bytes = FFile.ReadObject(url.path(QUrl::FullyDecoded));
    if (!bytes)
        return {};
    switch (type) {
    case QTextDocument::HtmlResource: {
        QStringDecoder decoder = QStringDecoder::decoderForHtml(*bytes);
        return decoder.isValid() ? QString(decoder(*bytes)) : DecodeText(*bytes);
    }
    case QTextDocument::StyleSheetResource: return DecodeText(*bytes);
    case QTextDocument::ImageResource: return QImage::fromData(*bytes);
    default: return *bytes;
    }
}

// --- TForm_Help ---------------------------------------------------------------------------

TForm_Help::TForm_Help(std::unique_ptr<THelpFile> file) : QWidget(nullptr), FFile(std::move(file))
{
    setWindowTitle(FFile->Title().isEmpty() ? kDefaultWindowTitle : FFile->Title());
    // The help window never keeps the program running once the main window has closed.
    setAttribute(Qt::WA_QuitOnClose, false);

    Button_Back = new QPushButton(QStringLiteral("&Zurück"), this);
    Button_Forward = new QPushButton(QStringLiteral("&Vorwärts"), this);
    Button_Home = new QPushButton(QStringLiteral("&Startseite"), this);
    Button_Back->setEnabled(false);
    Button_Forward->setEnabled(false);
    Button_Back->setToolTip(QStringLiteral("Zur vorigen Seite (Alt+Links)"));
    Button_Forward->setToolTip(QStringLiteral("Zur nächsten Seite (Alt+Rechts)"));

    TreeView_Contents = new QTreeWidget(this);
    TreeView_Contents->setHeaderHidden(true);
    TreeView_Contents->setColumnCount(1);
    FillContents(nullptr, FFile->Contents());
    TreeView_Contents->expandAll();

    Browser_Topic = new THelpBrowser(*FFile, this);
    Browser_Topic->setOpenLinks(false);
    // The pages are written for a light page, whatever the program's dark look.
    QPalette pagePalette = Browser_Topic->palette();
    pagePalette.setColor(QPalette::Base, Qt::white);
    pagePalette.setColor(QPalette::Text, Qt::black);
    Browser_Topic->setPalette(pagePalette);

    auto *splitter = new QSplitter(Qt::Horizontal, this);
    splitter->addWidget(TreeView_Contents);
    splitter->addWidget(Browser_Topic);
    splitter->setStretchFactor(0, 0);
    splitter->setStretchFactor(1, 1);

    auto *buttons = new QHBoxLayout;
    buttons->addWidget(Button_Back);
    buttons->addWidget(Button_Forward);
    buttons->addWidget(Button_Home);
    buttons->addStretch();
    auto *layout = new QVBoxLayout(this);
    layout->addLayout(buttons);
    layout->addWidget(splitter, 1);

    connect(Button_Back, &QPushButton::clicked, Browser_Topic, &QTextBrowser::backward);
    connect(Button_Forward, &QPushButton::clicked, Browser_Topic, &QTextBrowser::forward);
    connect(Button_Home, &QPushButton::clicked, this,
            [this] { ShowTopic(FFile->DefaultTopic()); });
    connect(Browser_Topic, &QTextBrowser::backwardAvailable, Button_Back, &QWidget::setEnabled);
    connect(Browser_Topic, &QTextBrowser::forwardAvailable, Button_Forward,
            &QWidget::setEnabled);
    connect(Browser_Topic, &QTextBrowser::sourceChanged, this,
            &TForm_Help::Browser_TopicSourceChanged);
    connect(Browser_Topic, &QTextBrowser::anchorClicked, this,
            &TForm_Help::Browser_TopicAnchorClicked);
    connect(TreeView_Contents, &QTreeWidget::currentItemChanged, this,
            &TForm_Help::TreeView_ContentsCurrentItemChanged);
    new QShortcut(QKeySequence(Qt::ALT | Qt::Key_Left), this, [this] { Browser_Topic->backward(); });
    new QShortcut(QKeySequence(Qt::ALT | Qt::Key_Right), this, [this] { Browser_Topic->forward(); });
    new QShortcut(QKeySequence(Qt::Key_Escape), this, [this] { close(); });

    // A comfortable reading size that still fits the screen.
    const QRect available = screen()->availableGeometry();
    const int width = std::min(960, available.width() * 9 / 10);
    resize(width, std::min(700, available.height() * 9 / 10));
    const int contentsWidth = std::min(270, width / 3);
    splitter->setSizes({contentsWidth, width - contentsWidth});
}

void TForm_Help::FillContents(QTreeWidgetItem *parent, const std::vector<TContentsEntry> &entries)
{
    for (const TContentsEntry &entry : entries) {
        auto *item = parent ? new QTreeWidgetItem(parent) : new QTreeWidgetItem(TreeView_Contents);
        item->setText(0, entry.Name);
        item->setData(0, Qt::UserRole, entry.Local);
        FillContents(item, entry.Children);
    }
}

void TForm_Help::ShowTopic(const QString &path) { Browser_Topic->setSource(HelpUrl(path)); }

QString TForm_Help::CurrentTopic() const { return Browser_Topic->source().path(); }

QString TForm_Help::CurrentTitle() const { return Browser_Topic->documentTitle(); }

void TForm_Help::Browser_TopicSourceChanged(const QUrl &url)
{
    // The contents follow the page, without opening it a second time.
    const QSignalBlocker blocker(TreeView_Contents);
    for (QTreeWidgetItemIterator it(TreeView_Contents); *it; ++it) {
        if ((*it)->data(0, Qt::UserRole).toString().compare(url.path(), Qt::CaseInsensitive) == 0) {
            TreeView_Contents->setCurrentItem(*it);
            return;
        }
    }
    TreeView_Contents->clearSelection();
}

void TForm_Help::Browser_TopicAnchorClicked(const QUrl &url)
{
    const QUrl target = url.isRelative() ? Browser_Topic->source().resolved(url) : url;
    if (target.scheme() == kHelpScheme)
        Browser_Topic->setSource(target);
    else
        QDesktopServices::openUrl(target);  // mail and web addresses
}

void TForm_Help::TreeView_ContentsCurrentItemChanged(QTreeWidgetItem *item)
{
    if (item && !item->data(0, Qt::UserRole).toString().isEmpty())
        ShowTopic(item->data(0, Qt::UserRole).toString());
}

// --- ShowHelpContext ----------------------------------------------------------------------

namespace {

QPointer<TForm_Help> &OpenHelpWindow()
{
    static QPointer<TForm_Help> window;
    return window;
}

QString CurrentHelpFileName()
{
    return HelpFileName.isEmpty()
               ? QCoreApplication::applicationDirPath() + QStringLiteral("/Lumikon.chm")
               : HelpFileName;
}

// The window of the help file, opened when needed; nullptr after the message why it cannot be.
TForm_Help *HelpWindowOf(const QString &fileName)
{
    QPointer<TForm_Help> &window = OpenHelpWindow();
    if (window && window->HelpFile().FileName() != fileName)
        delete window.data();
    if (window)
        return window;
    if (!QFileInfo(fileName).isFile()) {
        MsgBox(kFileMissingText, MsgKind::Error, MsgButtons::OK);
        return nullptr;
    }
    std::unique_ptr<THelpFile> file;
    try {
        file = std::make_unique<THelpFile>(fileName);
    } catch (const THelpFileError &) {
        MsgBox(kFileDamagedText, MsgKind::Error, MsgButtons::OK);
        return nullptr;
    }
    window = new TForm_Help(std::move(file));
    window->setAttribute(Qt::WA_DeleteOnClose);
    QObject::connect(qApp, &QCoreApplication::aboutToQuit, window.data(), &QObject::deleteLater);
    return window;
}

// A modal dialog blocks every window outside its own family; the help window opened from it
// joins the family so that it can be read and scrolled while the dialog stays open.
void KeepUsableBesideModalDialog(TForm_Help *window)
{
    QWidget *modal = QApplication::activeModalWidget();
    if (!modal || modal == window || !modal->windowHandle() || !window->windowHandle())
        return;
    window->windowHandle()->setTransientParent(modal->windowHandle());
    if (auto *dialog = qobject_cast<QDialog *>(modal)) {
        QObject::connect(dialog, &QDialog::finished, window, [window] {
            if (window->windowHandle())
                window->windowHandle()->setTransientParent(nullptr);
        });
    }
}

}  // namespace

TForm_Help *HelpWindow() { return OpenHelpWindow().data(); }

void ShowHelpContext(int context)
{
    TForm_Help *window = HelpWindowOf(CurrentHelpFileName());
    if (!window)
        return;
    // A number without a topic opens the contents page rather than nothing.
    const QString topic = window->HelpFile().TopicOfContext(context);
    const QString page = topic.isEmpty() ? window->HelpFile().DefaultTopic() : topic;
    if (!window->HelpFile().ReadPage(page)) {
        MsgBox(kFileDamagedText, MsgKind::Error, MsgButtons::OK);
        return;
    }
    window->ShowTopic(page);
    window->show();
    KeepUsableBesideModalDialog(window);
    window->raise();
    window->activateWindow();
}

}  // namespace lmk
