// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/Unit_PictureArchive.h"

#include "app/BusyCursor.h"
#include "app/LMK_Utils.h"
#include "app/Unit_ArchiveFile.h"
#include "app/Unit_PhotoDocument.h"
#include "app/Unit_Var.h"
#include "controls/TThumbsList.h"
#include "imaging/PictureFiles.h"
#include "imaging/Unit_Graph.h"

#include <QDesktopServices>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QLayout>
#include <QMenu>
#include <QUrl>
#include <QVBoxLayout>
#include <algorithm>

namespace lmk {

namespace {

const QColor kPanelColor(0x5A, 0x5A, 0x5A);
const QColor kListColor(0x33, 0x33, 0x33);
constexpr int kListThumbsSize = 100;
const QString kArchiveExtension = QStringLiteral("lka");
const QString kArchiveFilter = QStringLiteral("Bilderarchiv (*.lka)");

// The list ends its update mode and shows the last tile as current, however the change ended.
class TArchiveUpdate {
public:
    explicit TArchiveUpdate(TThumbsList &list, bool selectLast) : FList(list), FSelectLast(selectLast)
    {
        FList.BeginUpdate();
    }
    ~TArchiveUpdate()
    {
        FList.EndUpdate();
        if (FSelectLast) {
            FList.ArrangeThumbs();
            FList.SetThumbIndex(FList.GetThumbsCount() - 1);
        }
    }
    TArchiveUpdate(const TArchiveUpdate &) = delete;
    TArchiveUpdate &operator=(const TArchiveUpdate &) = delete;

private:
    TThumbsList &FList;
    bool FSelectLast;
};

void SetTileThumbnail(TThumbItem &tile, Bitmap thumbnail)
{
    if (!tile.ItemData.Bild())
        tile.ItemData.SetBild(std::make_unique<Bitmap>());
    *tile.ItemData.Bild() = std::move(thumbnail);
}

// The archive file dialogs: start in ArchivDir, show only archives.
QString ChooseArchiveFile(QWidget *owner, const QString &caption, QFileDialog::AcceptMode mode)
{
    QFileDialog dialog(owner, caption);
    dialog.setAcceptMode(mode);
    dialog.setFileMode(mode == QFileDialog::AcceptSave ? QFileDialog::AnyFile : QFileDialog::ExistingFile);
    // The extension is appended here and the overwrite question names the file written.
    dialog.setOption(QFileDialog::DontConfirmOverwrite);
    dialog.setOption(QFileDialog::DontUseNativeDialog);
    dialog.setNameFilter(kArchiveFilter);
    dialog.setDirectory(ArchivDir);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return {};
    return dialog.selectedFiles().front();
}

int PanelWidthFrom(int archivSize) { return archivSize == kArchivWide ? kArchivWide : kArchivNarrow; }

}  // namespace

Bitmap MakeThumbnail(const Bitmap &picture)
{
    if (picture.Empty())
        throw PictureFileError("Das Bild konnte nicht geladen werden!");
    // The proportions of ResizeHighQuality, except that a very thin picture keeps one pixel
    // across: a thumbnail without pixels could not be read back from the archive.
    const int w = picture.Width(), h = picture.Height();
    int width = kThumbnailBox, height = kThumbnailBox;
    if (h >= w)
        width = std::max(1, Trunc(kThumbnailBox * FDiv(w, h)));
    else
        height = std::max(1, Trunc(kThumbnailBox * FDiv(h, w)));
    Bitmap thumbnail = picture;
    ResizeHighQuality(thumbnail, width, height, false, InterpolationMode::HighQualityBicubic);
    return thumbnail;
}

TPictureArchive::TPictureArchive(TPhotoDocument &document, QWidget *panelThumbs, QWidget *dialogOwner)
    : QObject(panelThumbs), FDocument(document), FPanelThumbs(panelThumbs), FDialogOwner(dialogOwner),
      ThumbsList_LK(new TThumbsList(panelThumbs)), PopupMenu_Archiv(new QMenu(panelThumbs)),
      PopupMenu_Thumbs(new QMenu(panelThumbs))
{
    ArchivSize = PanelWidthFrom(ArchivSize);
    FPanelThumbs->setFixedWidth(ArchivSize);
    QPalette palette = FPanelThumbs->palette();
    palette.setColor(QPalette::Window, kPanelColor);
    FPanelThumbs->setPalette(palette);
    FPanelThumbs->setAutoFillBackground(true);
    QLayout *layout = FPanelThumbs->layout();
    if (!layout) {
        layout = new QVBoxLayout(FPanelThumbs);
        layout->setContentsMargins(0, 0, 0, 0);
        layout->setSpacing(0);
    }
    layout->addWidget(ThumbsList_LK);

    TThumbsList &list = *ThumbsList_LK;
    list.setObjectName(QStringLiteral("ThumbsList_LK"));
    list.SetColor(kListColor);
    list.setFrameShape(QFrame::NoFrame);
    list.ShowFrames = true;
    list.ShowIcons = list.ShowStars = list.ShowNames = list.ShowDates = list.ShowCategorys = false;
    list.ThumbsSortTyp = TThumbsSortTyp::tstNONE;
    list.ThumbsDragMode = TDragMode::dmManual;
    list.SetThumbsSize(kListThumbsSize);
    BuildMenus();
    list.ItemPopupMenu = PopupMenu_Thumbs;
    list.ItemClick = [this](TThumbItem *tile) { ThumbsList_LKItemClick(tile); };
    list.OnPressReturn = [this](TThumbItem *tile) { ThumbsList_LKPressReturn(tile); };
    list.OnPressDelete = [this](TThumbItem *tile) { ThumbsList_LKPressDelete(tile); };
}

void TPictureArchive::BuildMenus()
{
    PopupMenu_Archiv->setObjectName(QStringLiteral("PopupMenu_Archiv"));
    PopupMenu_Archiv->addAction(QStringLiteral("Bilderarchiv er&weitern (W)"), this, &TPictureArchive::ToggleExpanded);
    PopupMenu_Archiv->addSeparator();
    PopupMenu_Archiv->addAction(QStringLiteral("Bilderarchiv speichern unter..."), this,
                                &TPictureArchive::PM_ArchivSaveAsClick);
    PopupMenu_Archiv->addAction(QStringLiteral("Gespeichertes Bilderarchiv öffnen"), this,
                                &TPictureArchive::PM_ArchivOpenClick);
    PopupMenu_Archiv->addSeparator();
    PM_ArchivClear = PopupMenu_Archiv->addAction(QStringLiteral("Gesamtes Bilderarchiv &leeren"), this,
                                                 &TPictureArchive::PM_ArchivClearClick);
    connect(PopupMenu_Archiv, &QMenu::aboutToShow, this, &TPictureArchive::PopupMenu_ArchivPopup);

    PopupMenu_Thumbs->setObjectName(QStringLiteral("PopupMenu_Thumbs"));
    PM_ThumbOpen = PopupMenu_Thumbs->addAction(QStringLiteral("&Bild öffnen"), this, &TPictureArchive::PM_ThumbOpenClick);
    PopupMenu_Thumbs->addAction(QStringLiteral("Vorschaubild &aktualisieren"), this,
                                &TPictureArchive::PM_ThumbRefreshClick);
    PopupMenu_Thumbs->addSeparator();
    PM_ThumbRemove = PopupMenu_Thumbs->addAction(QStringLiteral("Bild aus dem Archiv &entfernen"), this,
                                                 &TPictureArchive::PM_ThumbRemoveClick);
    PM_ThumbClear = PopupMenu_Thumbs->addAction(QStringLiteral("Gesamtes Bilderarchiv &leeren"), this,
                                                &TPictureArchive::PM_ArchivClearClick);
    PopupMenu_Thumbs->addSeparator();
    PM_ThumbExplore = PopupMenu_Thumbs->addAction(QStringLiteral("Bild&verzeichnis öffnen"), this,
                                                  &TPictureArchive::PM_ThumbExploreClick);
    connect(PopupMenu_Thumbs, &QMenu::aboutToShow, this, &TPictureArchive::PopupMenu_ThumbsPopup);
}

void TPictureArchive::PopupMenu_ArchivPopup() { PM_ArchivClear->setEnabled(ThumbsList_LK->GetThumbsCount() > 0); }

void TPictureArchive::PopupMenu_ThumbsPopup()
{
    const bool current = ThumbsList_LK->ThumbIndex() >= 0;
    PM_ThumbOpen->setEnabled(current);
    PM_ThumbRemove->setEnabled(current);
    PM_ThumbExplore->setEnabled(current);
    PM_ThumbClear->setEnabled(ThumbsList_LK->GetThumbsCount() > 0);
}

void TPictureArchive::LoadAtStart()
{
    if (!QFileInfo(ArchivFile).isFile())
        ArchivFile = DataDir + QStringLiteral("thumbs.dat");
    if (LoadArchiveFile(ArchivFile, *ThumbsList_LK)) {
        FThumbsChange = false;
    } else {
        MsgBox(QStringLiteral("Bilderarchiv konnte nicht gelesen werden!"), MsgKind::Error, MsgButtons::OK);
        FThumbsChange = true;  // the unreadable file is replaced at exit
    }
}

void TPictureArchive::WriteAtExit()
{
    if (!FThumbsChange)
        return;
    try {
        TBusyCursor busy;
        SaveArchiveFile(ArchivFile, *ThumbsList_LK);
        FThumbsChange = false;
    } catch (const std::exception &error) {
        MsgBox(QStringLiteral("Das Bilderarchiv konnte nicht gespeichert werden!\n\n%1")
                   .arg(QString::fromUtf8(error.what())),
               MsgKind::Error, MsgButtons::OK);
    }
}

void TPictureArchive::AddToArchive(const QString &fileName)
{
    if (!FDocument.HasPicture())
        return;
    Bitmap thumbnail;
    {
        TBusyCursor busy;
        thumbnail = MakeThumbnail(FDocument.Current());
    }
    TArchiveUpdate update(*ThumbsList_LK, true);
    TThumbItem *tile = ThumbsList_LK->GetThumbItemFromFilename(fileName);
    if (!tile)
        tile = ThumbsList_LK->AddThumbItem(QString(), QString(), fileName, QString(), QString(), 0, 0, nullptr, false);
    SetTileThumbnail(*tile, std::move(thumbnail));  // a known file keeps its place
    FThumbsChange = true;
}

void TPictureArchive::ToggleExpanded()
{
    ArchivSize = ArchivSize == kArchivNarrow ? kArchivWide : kArchivNarrow;
    FPanelThumbs->setFixedWidth(ArchivSize);
}

void TPictureArchive::OpenTilePicture(const TThumbItem *tile)
{
    const QString fileName = tile->ItemData.Filename();
    FDocument.OpenPictureFile(fileName, false);
}

void TPictureArchive::ThumbsList_LKItemClick(TThumbItem *tile) { OpenTilePicture(tile); }

void TPictureArchive::ThumbsList_LKPressReturn(TThumbItem *tile) { OpenTilePicture(tile); }

void TPictureArchive::ThumbsList_LKPressDelete(TThumbItem *) { RemoveSelectedTiles(); }

void TPictureArchive::PM_ThumbOpenClick()
{
    if (const TThumbItem *tile = ThumbsList_LK->GetSelectedThumbItem())
        OpenTilePicture(tile);
}

void TPictureArchive::PM_ThumbRefreshClick()
{
    TThumbItem *tile = ThumbsList_LK->GetSelectedThumbItem();
    if (!tile || !QFileInfo(tile->ItemData.Filename()).isFile())
        return;
    const QString fileName = tile->ItemData.Filename();
    Bitmap thumbnail;
    {
        TBusyCursor busy;
        Bitmap picture;
        if (!TPhotoDocument::DecodePictureFile(fileName, picture))
            LoadPictureFile(fileName, picture);
        thumbnail = MakeThumbnail(picture);
    }
    TArchiveUpdate update(*ThumbsList_LK, false);
    SetTileThumbnail(*tile, std::move(thumbnail));
    FThumbsChange = true;
}

void TPictureArchive::RemoveSelectedTiles()
{
    ThumbsList_LK->DeleteSelectedThumbItems();
    FThumbsChange = true;
}

void TPictureArchive::PM_ThumbRemoveClick() { RemoveSelectedTiles(); }

void TPictureArchive::PM_ArchivClearClick()
{
    if (MsgBox(QStringLiteral("Sind Sie sicher, dass alle Bilder aus diesem Archiv entfernt werden sollen!"),
               MsgKind::Warning, MsgButtons::OKCancel) != MsgResult::OK)
        return;
    ThumbsList_LK->ClearThumbs();
    FThumbsChange = true;
    FDocument.ClosePicture();
}

void TPictureArchive::PM_ThumbExploreClick()
{
    const QString fileName = ThumbsList_LK->GetFilename();
    if (fileName.isEmpty())
        return;
    const QString folder = QFileInfo(fileName).absolutePath();
    if (QFileInfo(folder).isDir())
        QDesktopServices::openUrl(QUrl::fromLocalFile(folder));
}

void TPictureArchive::PM_ArchivSaveAsClick()
{
    QString fileName =
        ChooseArchiveFile(FDialogOwner, QStringLiteral("Bilderarchiv speichern unter"), QFileDialog::AcceptSave);
    if (fileName.isEmpty())
        return;
    const QString suffix = QFileInfo(fileName).suffix();
    if (suffix.isEmpty() || suffix.compare(kArchiveExtension, Qt::CaseInsensitive) != 0)
        fileName += '.' + kArchiveExtension;
    if (QFileInfo::exists(fileName) &&
        MsgBox(QStringLiteral("Das Bilderarchiv existiert bereits! Überschreiben?"), MsgKind::Question,
               MsgButtons::YesNo) != MsgResult::Yes)
        return;
    {
        TBusyCursor busy;
        SaveArchiveFile(fileName, *ThumbsList_LK);
    }
    // Only an archive that was written becomes the current one: a failed write leaves the
    // program with the archive it had.
    ArchivFile = fileName;
}

void TPictureArchive::PM_ArchivOpenClick()
{
    const QString fileName = ChooseArchiveFile(FDialogOwner, QStringLiteral("Gespeichertes Bilderarchiv öffnen"),
                                               QFileDialog::AcceptOpen);
    if (fileName.isEmpty())
        return;
    TBusyCursor busy;
    if (FThumbsChange)
        SaveArchiveFile(ArchivFile, *ThumbsList_LK);
    ArchivFile = fileName;
    LoadArchiveFile(ArchivFile, *ThumbsList_LK);  // an unreadable archive shows as an empty list
    FThumbsChange = false;
    FDocument.ClosePicture();
}

}  // namespace lmk
