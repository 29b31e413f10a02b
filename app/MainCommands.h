// SPDX-License-Identifier: GPL-3.0-or-later
// The commands of the main window, as its buttons, menu entries and keys name them, and the
// conditions under which they can be reached.
#pragma once

namespace lmk {

enum class TCommand {
    // tool bar
    Scan, Open, EditMenu, Undo, ViewMenu, ArchiveMenu, Print, Save, Help, About, Exit,
    // Edit menu, in menu order
    Improve, AutoAdjust, Resolution, Dpi, Editing, Sharpen, Antialias, RotateLeft, RotateRight,
    FlipHorizontal, FlipVertical, Correction, Cutting, Repair, Grayscale, Invert, RedEye, Text,
    Frame, Shade, Sepia, Colorize, Copy, Paste, Reverse,
    // View menu and keys
    OriginalView, FitToImage, Fullscreen, Exif, ExpandArchive,
};

// What must hold for a key or button to act.
enum class TNeed {
    Nothing,
    Picture,   // the edit view holds a picture
    Undo,      // a picture and an undo step
    Restore,   // a picture, an original picture, and unsaved changes
    Exif,      // the photo carries EXIF data
};

}  // namespace lmk
