// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/Unit_Lumikon.h"

#include "app/LMK_Utils.h"
#include "app/MainSymbols.h"
#include "app/Unit_PictureArchive.h"
#include "app/Unit_Var.h"
#include "controls/TLMKRibbonToolBar.h"
#include "controls/TLMKRibbonTransButton.h"
#include "controls/TLMKSmoothImage.h"
#include "controls/TVistaGradPanel.h"
#include "view/DialogWindow.h"

#include <QApplication>
#include <QCloseEvent>
#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QMenu>
#include <QTimer>
#include <QVBoxLayout>

namespace lmk {

namespace {

const QColor kWindowColor(0x33, 0x33, 0x33);
const QColor kViewColor(0x19, 0x19, 0x19);
const QColor kThumbsColor(0x5A, 0x5A, 0x5A);
constexpr int kRibbonHeight = 77;
constexpr int kDesignWidth = 784;
constexpr int kRibbonSymbolSize = 32;
constexpr int kQuickBarWidth = 34;
constexpr int kQuickButtonSize = 28;
constexpr int kQuickButtonStep = 30;
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

// A ribbon button, or a separator when it has no caption.
struct TRibbonEntry {
    const char *Caption = nullptr;
    const char *Hint = nullptr;
    const char *Symbol = nullptr;
    TCommand Command = TCommand::Open;
    TNeed Need = TNeed::Nothing;
    bool Drop = false;
};
constexpr TRibbonEntry kRibbonSeparator{};

const TRibbonEntry kRibbon[] = {
    {"Foto scannen", "Scanner-Dialog öffnen (Strg+N)", "document-scan", TCommand::Scan},
    {"Bilddatei öffnen", "Foto aus Bilddatei laden (Strg+O)", "document-open", TCommand::Open},
    kRibbonSeparator,
    {"Bearbeiten", "Bild bearbeiten (Strg+B)", "document-edit", TCommand::EditMenu, TNeed::Picture, true},
    {"Rückgängig", "Letzte Änderung zurücknehmen (Strg+Z)", "edit-undo", TCommand::Undo, TNeed::Undo},
    kRibbonSeparator,
    {"Ansicht", "Ansichtsoptionen (F3)", "view-preview", TCommand::ViewMenu, TNeed::Picture, true},
    {"Archiv", "Archivoptionen (F4)", "folder-pictures", TCommand::ArchiveMenu, TNeed::Nothing, true},
    kRibbonSeparator,
    {"Foto drucken", "Verschiedene Druckausgaben (Strg+D)", "document-print", TCommand::Print, TNeed::Picture},
    {"Foto speichern", "Foto als Bilddatei speichern (Strg+S)", "document-save", TCommand::Save, TNeed::Picture},
    kRibbonSeparator,
    {"Hilfe- themen", "Anleitung zum Programm (F1)", "help-contents", TCommand::Help},
    {"Info", "Informationen zum Programm (F2)", "help-about", TCommand::About},
    kRibbonSeparator,
    {"Programm beenden", "", "application-exit", TCommand::Exit},
};

struct TQuickEntry {
    const char *Hint;
    const char *Symbol;
    TCommand Command;
};

const TQuickEntry kQuickButtons[] = {
    {"Bildgröße ändern", "transform-scale", TCommand::Resolution},
    {"Farben, Helligkeit und Kontrast anpassen", "color-management", TCommand::Editing},
    {"Bild schärfen", kSymbolSharpen, TCommand::Sharpen},
    {"Bild stufenweise glätten", "blurfx", TCommand::Antialias},
    {"Bild um 90º nach links drehen", "object-rotate-left", TCommand::RotateLeft},
    {"Bild um 90º nach rechts drehen", "object-rotate-right", TCommand::RotateRight},
    {"Horizontal spiegeln", "object-flip-horizontal", TCommand::FlipHorizontal},
    {"Vertikal spiegeln", "object-flip-vertical", TCommand::FlipVertical},
    {"Bildausschnitt", "transform-crop", TCommand::Cutting},
    {"Bildfehler korrigieren", "draw-brush", TCommand::Repair},
    {"In Graustufenbild umwandeln", "color-mode-black-white", TCommand::Grayscale},
    {"Invertieren (Negativbild/Tonwertumkehr)", "color-mode-invert-image", TCommand::Invert},
    {"Text einfügen", "draw-text", TCommand::Text},
    {"Bilderrahmen wählen", "bordertool", TCommand::Frame},
    {"Bild mit Schatten", kSymbolShadow, TCommand::Shade},
};

// The looks of the window's gradient panels.
enum TLines { NoLine = 0, LeftLine = 1, RightLine = 2, TopLine = 4, BottomLine = 8 };

struct TPanelLook {
    TAlign Align;
    TOrientation Orientation;
    TGradOrientation Gradient;
    int Lines;
    QColor Start, End, Line;
    bool Caption;  // captions: Arial 13 px in light gray, sized to the text
};

const QColor kBarGray(0x44, 0x44, 0x44);
const QColor kBarLine(0x2A, 0x2A, 0x2A);
const TPanelLook kTitleLook{TAlign::alTop, TOrientation::oCenter, TGradOrientation::goTopToBottom, BottomLine,
                            kBarGray, kBarGray, kBarLine, true};
const TPanelLook kStripLook{TAlign::alRight, TOrientation::oLeft, TGradOrientation::goLeftToRigth, RightLine,
                            QColor(0x56, 0x56, 0x54), QColor(0x40, 0x40, 0x40), QColor(0x25, 0x25, 0x25), false};

TVistaGradPanel *GradPanel(const char *name, const TPanelLook &look, const QString &caption = QString())
{
    auto *panel = Named(new TVistaGradPanel, name);
    panel->SetGradStyle(TGradStyle::gsDEFAULT);
    panel->SetStartColor(look.Start);
    panel->SetEndColor(look.End);
    panel->SetLineColor(look.Line);
    panel->SetGradOrientation(look.Gradient);
    panel->SetOrientation(look.Orientation);
    panel->SetLeftLine(look.Lines & LeftLine);
    panel->SetRightLine(look.Lines & RightLine);
    panel->SetTopLine(look.Lines & TopLine);
    panel->SetButtomLine(look.Lines & BottomLine);
    panel->SetAlign(look.Align);
    panel->SetShowCaption(look.Caption);
    if (look.Caption) {
        QFont font(QStringLiteral("Arial"));
        font.setPixelSize(13);
        panel->setFont(font);
        panel->SetFontColor(QColor(0xBE, 0xBE, 0xBE));
        panel->SetCaption(caption);
        panel->SetAutoSize(true);
    } else {
        panel->SetCaption(QString());
    }
    return panel;
}

TVistaGradPanel *DividerStrip()
{
    auto *strip = GradPanel("Divider", kStripLook);
    strip->setFixedWidth(kDividerWidth);
    return strip;
}

TVistaGradPanel *StatusField(const char *name, TAlign align, int lines, const QString &text)
{
    return GradPanel(name, {align, TOrientation::oLeft, TGradOrientation::goTopToBottom, lines, kBarGray, kBarGray,
                            kBarLine, true},
                     text);
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
    FArchive = std::make_unique<TPictureArchive>(FDocument, Panel_Thumbs, this);
    BuildMenus();
    BuildCommands();

    ReadSettings();
    ApplyWindowPlacement(*this, WindowPlacement);
    FArchive->LoadAtStart();

    Panel_Original->hide();
    GradPanel_Foto_Titel->hide();
    ShowDpiValue();
    setWindowTitle(Caption());

    connect(&FDocument, &TPhotoDocument::CurrentChanged, this, &TForm_Lumikon::ShowCurrentPicture);
    connect(&FDocument, &TPhotoDocument::OriginalChanged, this, &TForm_Lumikon::ShowOriginalPicture);
    connect(&FDocument, &TPhotoDocument::SourceChanged, StatusBar_Quelle, &TVistaGradPanel::SetCaption);
    connect(&FDocument, &TPhotoDocument::AddToArchive, FArchive.get(), &TPictureArchive::AddToArchive);

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
    // The archive first: it reports its own write errors, so the settings are written anyway.
    FArchive->WriteAtExit();
    WindowPlacement = WindowPlacementOf(*this, WindowPlacement);
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
    column->addWidget(BuildRibbon());
    auto *body = new QHBoxLayout;
    body->setSpacing(0);
    body->addWidget(BuildQuickToolBar());
    body->addWidget(BuildViews(), 1);
    column->addLayout(body, 1);
    column->addWidget(BuildStatusBar());
}

QWidget *TForm_Lumikon::BuildRibbon()
{
    RibbonToolBar_LK = Named(new TLMKRibbonToolBar, "RibbonToolBar_LK");
    RibbonToolBar_LK->setFixedHeight(kRibbonHeight);
    RibbonToolBar_LK->resize(kDesignWidth, kRibbonHeight);
    RibbonToolBar_LK->SetShowCaption(false);
    RibbonToolBar_LK->SetAutoSnap(false);  // the window's layout places the bar
    RibbonToolBar_LK->SetAutoTop(false);
    RibbonToolBar_LK->SetAutoWidth(false);
    RibbonToolBar_LK->SetAutoHeight(false);
    RibbonToolBar_LK->SetStyle(TLMKRibbonStyle::rsBlack);
    // Where the desktop lacks the ribbon's own font, its metric twin of Arial keeps the captions
    // as narrow as they were designed, so every button fits at the window's minimum width.
    QFont menuFont;
    menuFont.setFamilies({QStringLiteral("Segoe UI"), QStringLiteral("Liberation Sans"), QStringLiteral("Arial")});
    menuFont.setPointSize(9);
    RibbonToolBar_LK->SetMenuFont(menuFont);

    QList<QImage> symbols;
    for (const TRibbonEntry &entry : kRibbon) {
        TToolButtonCollectionItem &item = RibbonToolBar_LK->AddToolButton();
        if (!entry.Caption) {
            item.SetButtonMode(TLMKRibbonToolButtonMode::bmSeparator);
            continue;
        }
        const QString caption = QString::fromUtf8(entry.Caption);
        symbols << MainSymbol(QString::fromLatin1(entry.Symbol), kRibbonSymbolSize, caption.at(0));
        item.SetCaption(caption).SetImageIndex(int(symbols.size()) - 1).SetDropButton(entry.Drop);
        if (*entry.Hint)
            item.SetHint(QString::fromUtf8(entry.Hint)).SetShowHint(true);
        const TCommand command = entry.Command;
        TLMKRibbonToolButton *button = item.Button();
        item.SetOnClick([this, command, button] {
            if (QMenu *menu = MenuOf(command))
                PopupBelowButton(menu, button);
            else
                RunCommand(command);
        });
        FButtons.push_back({[&item](bool enabled) { item.SetEnabled(enabled); }, [&item] { return item.Enabled(); },
                            command, entry.Need});
    }
    RibbonToolBar_LK->SetImages(symbols);
    return RibbonToolBar_LK;
}

QWidget *TForm_Lumikon::BuildQuickToolBar()
{
    auto *bar = GradPanel("Panel_QuickToolBar", kStripLook);
    bar->SetAlign(TAlign::alLeft);
    bar->setFixedWidth(kQuickBarWidth);
    const int left = (kQuickBarWidth - kQuickButtonSize) / 2;
    int top = left;
    for (const TQuickEntry &entry : kQuickButtons) {
        auto *button = new TLMKRibbonTransButton(bar);
        const QString hint = QString::fromUtf8(entry.Hint);
        button->setObjectName(hint);
        button->setGeometry(left, top, kQuickButtonSize, kQuickButtonSize);
        button->SetStyle(TLMKRibbonStyle::rsBlack);
        button->SetSymbol(MainSymbol(QString::fromLatin1(entry.Symbol), kQuickButtonSize - 6, hint.at(0)));
        button->SetHint(hint);
        const TCommand command = entry.Command;
        button->SetOnClick([this, command] { RunCommand(command); });
        FButtons.push_back({[button](bool enabled) { button->SetEnabled(enabled); },
                            [button] { return button->Enabled(); }, command, TNeed::Picture});
        top += kQuickButtonStep;
    }
    return bar;
}

QWidget *TForm_Lumikon::BuildViews()
{
    const auto makeView = [](const char *name) {
        auto *view = Named(new TLMKSmoothImage, name);
        view->SetCenter(true);
        view->SetProportional(true);
        view->SetStretch(false);
        view->SetBrushColor(kViewColor);
        return view;
    };
    const auto column = [](QWidget *parent, QWidget *title, QWidget *view) {
        auto *layout = new QVBoxLayout;
        layout->setContentsMargins(0, 0, 0, 0);
        layout->setSpacing(0);
        layout->addWidget(title);
        layout->addWidget(view, 1);
        if (parent)
            parent->setLayout(layout);
        return layout;
    };

    auto *central = new QWidget;
    auto *row = new QHBoxLayout(central);
    row->setContentsMargins(0, 0, 0, 0);
    row->setSpacing(0);

    Panel_Foto_Original = Named(new QWidget, "Panel_Foto_Original");
    auto *viewsRow = new QHBoxLayout(Panel_Foto_Original);
    viewsRow->setContentsMargins(0, 0, 0, 0);
    viewsRow->setSpacing(0);

    Panel_Original = Named(new QWidget, "Panel_Original");
    auto *originalRow = new QHBoxLayout(Panel_Original);
    originalRow->setContentsMargins(0, 0, 0, 0);
    originalRow->setSpacing(0);
    GradPanel_Original_Titel = GradPanel("GradPanel_Original_Titel", kTitleLook, QStringLiteral("Originalbild"));
    Image_Original = makeView("Image_Original");
    originalRow->addLayout(column(nullptr, GradPanel_Original_Titel, Image_Original), 1);
    originalRow->addWidget(DividerStrip());

    Panel_Foto = Named(new QWidget, "Panel_Foto");
    TPanelLook fotoTitle = kTitleLook;
    fotoTitle.Lines = RightLine | BottomLine;
    GradPanel_Foto_Titel = GradPanel("GradPanel_Foto_Titel", fotoTitle, QStringLiteral("Bildbearbeitung"));
    Image_Foto = makeView("Image_Foto");
    column(Panel_Foto, GradPanel_Foto_Titel, Image_Foto);

    viewsRow->addWidget(Panel_Original);
    viewsRow->addWidget(Panel_Foto, 1);

    Panel_Thumbs = Named(new QWidget, "Panel_Thumbs");
    QPalette palette = Panel_Thumbs->palette();
    palette.setColor(QPalette::Window, kThumbsColor);
    Panel_Thumbs->setPalette(palette);
    Panel_Thumbs->setAutoFillBackground(true);

    row->addWidget(Panel_Foto_Original, 1);
    row->addWidget(DividerStrip());
    row->addWidget(Panel_Thumbs);
    return central;
}

QWidget *TForm_Lumikon::BuildStatusBar()
{
    auto *bar = Named(new QWidget, "Panel_StatusBar");
    bar->setFixedHeight(kStatusBarHeight);
    auto *row = new QHBoxLayout(bar);
    row->setContentsMargins(0, 0, 0, 0);
    row->setSpacing(0);
    StatusBar_Quelle = StatusField("StatusBar_Quelle", TAlign::alLeft, TopLine, QStringLiteral("Kein Bild vorhanden"));
    StatusBar_Size = StatusField("StatusBar_Size", TAlign::alClient, LeftLine | TopLine,
                                 QStringLiteral("Bitte scannen Sie ein Foto oder öffnen Sie eine Bilddatei..."));
    StatusBar_DPI = StatusField("StatusBar_DPI", TAlign::alRight, TopLine, QStringLiteral("300 DPI"));
    row->addWidget(StatusBar_Quelle);
    row->addWidget(StatusBar_Size, 1);
    row->addWidget(StatusBar_DPI);
    return bar;
}

bool TForm_Lumikon::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == Panel_Foto_Original && event->type() == QEvent::Resize) {
        FitOriginalPanel();
    } else if (event->type() == QEvent::KeyPress && watched->isWidgetType()) {
        // The window sees every key of its own before the focused control does, and passes it
        // on. A key event travels through several receivers (the window system's window, the
        // focus widget, its parents); only the first widget that gets it counts.
        auto *widget = static_cast<QWidget *>(watched);
        QWidget *first = focusWidget() ? focusWidget() : this;
        if (widget == first && widget->window() == this && !QApplication::activeModalWidget()
            && !QApplication::activePopupWidget()) {
            const auto *key = static_cast<QKeyEvent *>(event);
            if (!key->isAutoRepeat())
                if (const std::optional<TCommand> command = KeyCommand(key->key(), key->modifiers()))
                    RunCommand(*command);
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

bool TForm_Lumikon::FitToImageMode() const { return Image_Foto->FitToImage(); }

void TForm_Lumikon::ToggleOriginalView()
{
    const bool shown = OriginalViewShown();
    GradPanel_Foto_Titel->setVisible(!shown);
    Panel_Original->setVisible(!shown);
    if (!shown)
        FitOriginalPanel();
}

void TForm_Lumikon::FitOriginalPanel()
{
    if (OriginalViewShown())
        Panel_Original->setFixedWidth(Panel_Foto_Original->width() / 2 + 4);
}

void TForm_Lumikon::ToggleFitToImage()
{
    for (TLMKSmoothImage *view : {Image_Original, Image_Foto})
        view->SetFitToImage(!view->FitToImage());
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
    StatusBar_Size->SetCaption(QStringLiteral("%1 x %2 Pixel").arg(picture.Width()).arg(picture.Height()));
}

void TForm_Lumikon::ShowDpiValue() { StatusBar_DPI->SetCaption(QStringLiteral("%1 DPI").arg(DpiFromIndex(DpiIndex))); }

}  // namespace lmk
