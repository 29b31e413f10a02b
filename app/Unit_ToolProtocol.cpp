// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/Unit_ToolProtocol.h"

namespace lmk {

void ApplyQuickOperation(TPhotoDocument &document, const TPictureOperation &operation)
{
    TBusyCursor busy;
    Bitmap working = document.Current();
    working.SetFormat(PixelFormat::pf32bit);
    operation(working);
    document.ApplyEdit(std::move(working));
}

}  // namespace lmk
