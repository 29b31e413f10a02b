// SPDX-License-Identifier: GPL-3.0-or-later
// The picture archive of the main window: the thumbnail list in the archive panel, the current
// archive file (ArchivFile) from start to exit, adding the opened and saved pictures, and the
// commands of the "Archiv" menu and of the tiles' context menu.
#pragma once

#include <QObject>
#include <QString>

class QAction;
class QMenu;
class QWidget;

namespace lmk {

class Bitmap;
class TPhotoDocument;
class TThumbItem;
class TThumbsList;

inline constexpr int kThumbnailBox = 105;  // thumbnails fit into 105 x 105 pixels

// The thumbnail of a picture: scaled into 105 x 105 keeping its proportions, 32 bits per pixel.
Bitmap MakeThumbnail(const Bitmap &picture);

class TPictureArchive : public QObject {
    Q_OBJECT
public:
    // Fills `panelThumbs` with the list and gives the panel its width from ArchivSize; the file
    // dialogs open over `dialogOwner`. The object is a child of the panel and goes with it
    // unless it is deleted earlier.
    TPictureArchive(TPhotoDocument &document, QWidget *panelThumbs, QWidget *dialogOwner);

    // Reads ArchivFile (or DataDir + "thumbs.dat" when it names no file) into the list; an
    // unreadable archive shows an error message and is replaced at exit.
    void LoadAtStart();
    // Writes the list to ArchivFile if it changed. Never throws: a failure is shown with its
    // reason, so that the settings can still be written after it.
    void WriteAtExit();
    // Adds the document's current picture under `fileName`, or renews the thumbnail of the tile
    // that already shows the file; the last tile becomes current.
    void AddToArchive(const QString &fileName);

    QMenu *ArchiveMenu() { return PopupMenu_Archiv; }
    QMenu *ThumbsMenu() { return PopupMenu_Thumbs; }
    // The panel's width between 145 (one column) and 272 (two columns); ArchivSize follows.
    void ToggleExpanded();
    TThumbsList *ThumbsList() { return ThumbsList_LK; }
    // The list differs from ArchivFile and is written at exit.
    bool ThumbsChanged() const { return FThumbsChange; }

    // The menu commands.
    void PM_ArchivSaveAsClick();
    void PM_ArchivOpenClick();
    void PM_ArchivClearClick();
    void PM_ThumbOpenClick();
    void PM_ThumbRefreshClick();
    void PM_ThumbRemoveClick();
    void PM_ThumbExploreClick();

private:
    void BuildMenus();
    void PopupMenu_ArchivPopup();
    void PopupMenu_ThumbsPopup();
    void ThumbsList_LKItemClick(TThumbItem *tile);
    void ThumbsList_LKPressReturn(TThumbItem *tile);
    void ThumbsList_LKPressDelete(TThumbItem *tile);
    void OpenTilePicture(const TThumbItem *tile);
    void RemoveSelectedTiles();

    TPhotoDocument &FDocument;
    QWidget *FPanelThumbs;
    QWidget *FDialogOwner;
    TThumbsList *ThumbsList_LK;
    QMenu *PopupMenu_Archiv;
    QMenu *PopupMenu_Thumbs;
    QAction *PM_ArchivClear = nullptr;
    QAction *PM_ThumbOpen = nullptr;
    QAction *PM_ThumbRemove = nullptr;
    QAction *PM_ThumbClear = nullptr;
    QAction *PM_ThumbExplore = nullptr;
    bool FThumbsChange = false;
};

}  // namespace lmk
