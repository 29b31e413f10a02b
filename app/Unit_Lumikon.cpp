// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/Unit_Lumikon.h"

#include "app/HelpContexts.h"
#include "app/LMK_Utils.h"
#include "app/Unit_OpenPictureDialog.h"
#include "app/Unit_Var.h"
#include "controls/TLMKSmoothImage.h"

#include <QApplication>
#include <QCloseEvent>
#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QIcon>
#include <QKeyEvent>
#include <QLabel>
#include <QTimer>
#include <QToolButton>
#include <QVBoxLayout>

namespace lmk {

namespace {

const QColor kWindowColor(0x33, 0x33, 0x33);
const QColor kViewColor(0x19, 0x19, 0x19);
constexpr int kTitleBarHeight = 20;
constexpr int kDividerWidth = 8;
constexpr int kStatusBarHeight = 21;
constexpr int kEnablingIntervalMs = 300;

// Creates a folder with its missing parents; on failure shows `message` and ends the start.
void EnsureFolder(const QString &path, const char *message)
{
    if (!QDir().mkpath(path)) {
        MsgBox(QString::fromUtf8(message), MsgKind::Error, MsgButtons::OK);
        throw StartAborted();
    }
}

QLabel *TitleBar(const QString &text)
{
    auto *title = new QLabel(text);
    title->setFixedHeight(kTitleBarHeight);
    title->setIndent(6);
    title->setStyleSheet(QStringLiteral(
        "QLabel { color: #E6E6E6; background: qlineargradient(x1:0, y1:0, x2:0, y2:1,"
        " stop:0 #5A5A5A, stop:1 #3A3A3A); border-bottom: 1px solid #1E1E1E; }"));
    return title;
}

QLabel *StatusField(const QString &text)
{
    auto *field = new QLabel(text);
    field->setIndent(5);
    field->setStyleSheet(QStringLiteral(
        "QLabel { color: #E6E6E6; background: qlineargradient(x1:0, y1:0, x2:0, y2:1,"
        " stop:0 #4A4A4A, stop:1 #2E2E2E); border-right: 1px solid #1E1E1E; }"));
    return field;
}

}  // namespace

QString TForm_Lumikon::Caption() { return QStringLiteral("LMK Lumikon (64-bit) - LMK Software"); }

TForm_Lumikon::TForm_Lumikon(const QString &pictureArgument, QWidget *parent)
    : QWidget(parent), FPictureArgument(pictureArgument)
{
    InitFormatSettings();

    ProgramDir = QCoreApplication::applicationDirPath() + '/';
    HelpFileName = ProgramDir + QStringLiteral("Lumikon.chm");
    if (!QFileInfo::exists(HelpFileName))
        MsgBox(QStringLiteral("Die Hilfedatei wurde nicht gefunden!"), MsgKind::Error, MsgButtons::OK);

    PrepareFolders();
    BuildLayout();
    BuildKeyTable();

    ReadSettings();
    ApplyWindowPlacement(*this, WindowPlacement);
    Panel_Thumbs->setFixedWidth(ArchivSize);

    Panel_Original->hide();
    GradPanel_Foto_Titel->hide();
    ShowDpiValue();
    setWindowTitle(Caption());

    connect(&FDocument, &TPhotoDocument::CurrentChanged, this, &TForm_Lumikon::ShowCurrentPicture);
    connect(&FDocument, &TPhotoDocument::OriginalChanged, this, &TForm_Lumikon::ShowOriginalPicture);
    connect(&FDocument, &TPhotoDocument::SourceChanged, StatusBar_Quelle, &QLabel::setText);

    auto *timer = new QTimer(this);
    timer->setInterval(kEnablingIntervalMs);
    connect(timer, &QTimer::timeout, this, &TForm_Lumikon::UpdateEnabling);
    timer->start();
    UpdateEnabling();
    qApp->installEventFilter(this);
}

TForm_Lumikon::~TForm_Lumikon()
{
    qApp->removeEventFilter(this);
    WindowPlacement = WindowPlacementOf(*this, WindowPlacement);
    ArchivSize = Panel_Thumbs->width();
    WriteSettings();
}

void TForm_Lumikon::PrepareFolders()
{
    SettingsDir = GetSpecialFolder(SpecialFolder::RoamingAppData) + QStringLiteral("LMK Lumikon/");
    EnsureFolder(SettingsDir, "Verzeichnis für die Einstellungen konnte nicht angelegt werden!");
    const QString documents = GetSpecialFolder(SpecialFolder::Documents);
    DataDir = documents + QStringLiteral("LMK Lumikon/");
    EnsureFolder(DataDir, "Verzeichnis für die Programmdaten konnte nicht angelegt werden!");
    ArchivDir = documents + QStringLiteral("LMK Lumikon/Bilderarchive");
    EnsureFolder(ArchivDir, "Verzeichnis für eigene Bilderarchive konnte nicht angelegt werden!");
    IniFileName = SettingsDir + QStringLiteral("Lumikon.ini");
}

void TForm_Lumikon::BuildLayout()
{
    QPalette palette = this->palette();
    palette.setColor(QPalette::Window, kWindowColor);
    setPalette(palette);
    setAutoFillBackground(true);

    auto *column = new QVBoxLayout(this);
    column->setContentsMargins(0, 0, 0, 0);
    column->setSpacing(0);
    column->addWidget(BuildToolBar());
    column->addWidget(BuildViews(), 1);
    column->addWidget(BuildStatusBar());
}

QWidget *TForm_Lumikon::BuildToolBar()
{
    auto *bar = new QWidget;
    bar->setObjectName(QStringLiteral("ToolBar"));
    bar->setFixedHeight(77);
    bar->setStyleSheet(QStringLiteral("#ToolBar { background: #222222; border-bottom: 1px solid #111111; }"
                                      "QToolButton { color: #E6E6E6; border: none; padding: 2px; }"
                                      "QToolButton:hover { background: #3E3E3E; border-radius: 3px; }"
                                      "QToolButton:disabled { color: #777777; }"));
    auto *row = new QHBoxLayout(bar);
    row->setContentsMargins(6, 4, 6, 4);
    row->setSpacing(2);
    const auto addButton = [&](const char *icon, const char *caption, const char *hint, std::function<void()> command) {
        auto *button = new QToolButton;
        button->setIcon(QIcon::fromTheme(QString::fromLatin1(icon)));
        button->setIconSize(QSize(32, 32));
        button->setText(QString::fromUtf8(caption));
        button->setToolTip(QString::fromUtf8(hint));
        button->setToolButtonStyle(Qt::ToolButtonTextUnderIcon);
        button->setFocusPolicy(Qt::NoFocus);
        button->setMinimumWidth(72);
        connect(button, &QToolButton::clicked, this, std::move(command));
        row->addWidget(button);
        return button;
    };
    addButton("document-open", "Bilddatei öffnen", "Foto aus Bilddatei laden (Strg+O)", [this] { TB_OpenClick(); });
    TB_Undo = addButton("edit-undo", "Rückgängig", "Letzte Änderung zurücknehmen (Strg+Z)", [this] { TB_UndoClick(); });
    TB_Save = addButton("document-save", "Foto speichern", "Foto als Bilddatei speichern (Strg+S)", [this] { TB_SaveClick(); });
    addButton("help-contents", "Hilfe-\nthemen", "Anleitung zum Programm (F1)", [this] { TB_HelpClick(); });
    addButton("application-exit", "Programm\nbeenden", "", [this] { close(); });
    row->addStretch(1);
    return bar;
}

QWidget *TForm_Lumikon::BuildViews()
{
    const auto makeView = [&] {
        auto *view = new TLMKSmoothImage;
        view->SetCenter(true);
        view->SetProportional(true);
        view->SetStretch(false);
        view->SetBrushColor(kViewColor);
        return view;
    };
    const auto divider = [] {
        auto *strip = new QWidget;
        strip->setFixedWidth(kDividerWidth);
        return strip;
    };

    auto *central = new QWidget;
    auto *row = new QHBoxLayout(central);
    row->setContentsMargins(0, 0, 0, 0);
    row->setSpacing(0);

    Panel_Original = new QWidget;
    auto *originalRow = new QHBoxLayout(Panel_Original);
    originalRow->setContentsMargins(0, 0, 0, 0);
    originalRow->setSpacing(0);
    auto *originalColumn = new QVBoxLayout;
    originalColumn->setSpacing(0);
    GradPanel_Original_Titel = TitleBar(QStringLiteral("Originalbild"));
    Image_Original = makeView();
    originalColumn->addWidget(GradPanel_Original_Titel);
    originalColumn->addWidget(Image_Original, 1);
    originalRow->addLayout(originalColumn, 1);
    originalRow->addWidget(divider());

    Panel_Foto = new QWidget;
    auto *fotoColumn = new QVBoxLayout(Panel_Foto);
    fotoColumn->setContentsMargins(0, 0, 0, 0);
    fotoColumn->setSpacing(0);
    GradPanel_Foto_Titel = TitleBar(QStringLiteral("Bildbearbeitung"));
    Image_Foto = makeView();
    fotoColumn->addWidget(GradPanel_Foto_Titel);
    fotoColumn->addWidget(Image_Foto, 1);

    Panel_Thumbs = new QWidget;
    Panel_Thumbs->setFixedWidth(145);

    row->addWidget(Panel_Original);
    row->addWidget(Panel_Foto, 1);
    row->addWidget(divider());
    row->addWidget(Panel_Thumbs);
    return central;
}

QWidget *TForm_Lumikon::BuildStatusBar()
{
    auto *bar = new QWidget;
    bar->setFixedHeight(kStatusBarHeight);
    auto *row = new QHBoxLayout(bar);
    row->setContentsMargins(0, 0, 0, 0);
    row->setSpacing(0);
    StatusBar_Quelle = StatusField(QStringLiteral("Kein Bild vorhanden"));
    StatusBar_Size = StatusField(QStringLiteral("Bitte scannen Sie ein Foto oder öffnen Sie eine Bilddatei..."));
    StatusBar_DPI = StatusField(QStringLiteral("300 DPI"));
    row->addWidget(StatusBar_Quelle);
    row->addWidget(StatusBar_Size, 1);
    row->addWidget(StatusBar_DPI);
    return bar;
}

void TForm_Lumikon::BuildKeyTable()
{
    const auto always = [] { return true; };
    const auto picture = [this] { return PicturePresent(); };
    FKeyTable = {
        {Qt::Key_C, true, picture, [this] { PM_CopyClick(); }},
        {Qt::Key_O, true, always, [this] { TB_OpenClick(); }},
        {Qt::Key_R, true,
         [this] { return PicturePresent() && FDocument.HasOriginal() && FDocument.PhotoChanged(); },
         [this] { PM_ReverseClick(); }},
        {Qt::Key_S, true, picture, [this] { TB_SaveClick(); }},
        {Qt::Key_V, true, picture, [this] { PM_PasteClick(); }},
        {Qt::Key_Z, true, [this] { return PicturePresent() && FDocument.CanUndo(); }, [this] { TB_UndoClick(); }},
        {Qt::Key_F1, false, always, [this] { TB_HelpClick(); }},
    };
}

bool TForm_Lumikon::HandleKey(int key, Qt::KeyboardModifiers modifiers)
{
    const bool ctrl = modifiers.testFlag(Qt::ControlModifier);
    for (const TKeyCommand &command : FKeyTable) {
        if (command.Key == key && command.Ctrl == ctrl) {
            if (!command.Condition())
                return false;
            command.Action();
            return true;
        }
    }
    return false;
}

bool TForm_Lumikon::eventFilter(QObject *watched, QEvent *event)
{
    // The window sees every key of its own before the focused control does, and passes it on.
    // A key event travels through several receivers (the window system's window, the focus
    // widget, its parents); only the first widget that gets it counts.
    if (event->type() == QEvent::KeyPress && watched->isWidgetType()) {
        auto *widget = static_cast<QWidget *>(watched);
        QWidget *first = QApplication::focusWidget() ? QApplication::focusWidget() : this;
        if (widget == first && widget->window() == this && !QApplication::activeModalWidget()) {
            const auto *key = static_cast<QKeyEvent *>(event);
            if (!key->isAutoRepeat())
                HandleKey(key->key(), key->modifiers());
        }
    }
    return QWidget::eventFilter(watched, event);
}

void TForm_Lumikon::showEvent(QShowEvent *event)
{
    QWidget::showEvent(event);
    if (!FFirstShow)
        return;
    FFirstShow = false;
    if (!FPictureArgument.isEmpty())
        QTimer::singleShot(0, this, [this] { FDocument.OpenPictureFile(FPictureArgument, false); });
}

void TForm_Lumikon::closeEvent(QCloseEvent *event)
{
    if (FDocument.QuerySavePicture())
        event->accept();
    else
        event->ignore();
}

bool TForm_Lumikon::OriginalViewShown() const { return !Panel_Original->isHidden(); }

void TForm_Lumikon::UpdateEnabling()
{
    const auto setEnabled = [](QWidget *widget, bool wanted) {
        if (widget->isEnabled() != wanted)
            widget->setEnabled(wanted);
    };
    setEnabled(TB_Save, PicturePresent());
    setEnabled(TB_Undo, FDocument.CanUndo());
}

void TForm_Lumikon::ShowCurrentPicture()
{
    Image_Foto->SetPicture(FDocument.SharedCurrent());
    if (PicturePresent())
        ShowPictureSize();
}

void TForm_Lumikon::ShowOriginalPicture() { Image_Original->SetPicture(FDocument.SharedOriginal()); }

void TForm_Lumikon::ShowPictureSize()
{
    const Bitmap &picture = FDocument.Current();
    StatusBar_Size->setText(QStringLiteral("%1 x %2 Pixel").arg(picture.Width()).arg(picture.Height()));
}

void TForm_Lumikon::ShowDpiValue() { StatusBar_DPI->setText(QStringLiteral("%1 DPI").arg(DpiFromIndex(DpiIndex))); }

void TForm_Lumikon::TB_OpenClick()
{
    const QString startFolder = FDocument.FileName().isEmpty() ? QString() : QFileInfo(FDocument.FileName()).absolutePath();
    const QString fileName = ChoosePictureFile(this, startFolder);
    if (!fileName.isEmpty())
        FDocument.OpenPictureFile(fileName, true);
}

void TForm_Lumikon::TB_SaveClick()
{
    if (PicturePresent())
        FDocument.SavePictureAs();
}

void TForm_Lumikon::TB_UndoClick() { FDocument.Undo(); }

void TForm_Lumikon::TB_HelpClick() { ShowHelpContext(help::MainWindow); }

void TForm_Lumikon::PM_CopyClick() { FDocument.CopyToClipboard(); }

void TForm_Lumikon::PM_PasteClick() { FDocument.PasteFromClipboard(); }

void TForm_Lumikon::PM_ReverseClick() { FDocument.RestoreOriginal(); }

}  // namespace lmk
