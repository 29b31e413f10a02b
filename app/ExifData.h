// SPDX-License-Identifier: GPL-3.0-or-later
// The EXIF data of an opened JPEG file, kept for display.
#pragma once

#include <QString>
#include <memory>

namespace lmk {

class TExifData {
public:
    ~TExifData();
    // The file's EXIF data, or nullptr when it has none or it cannot be read.
    static std::unique_ptr<TExifData> ReadFromFile(const QString &fileName);
    // Number of EXIF tags held.
    long TagCount() const;

private:
    struct TData;
    explicit TExifData(std::unique_ptr<TData> data);
    std::unique_ptr<TData> FData;
};

}  // namespace lmk
