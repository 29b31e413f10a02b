// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/ExifData.h"

#include <QFile>
#include <exiv2/exiv2.hpp>

namespace lmk {

struct TExifData::TData {
    Exiv2::ExifData Exif;
};

TExifData::TExifData(std::unique_ptr<TData> data) : FData(std::move(data)) {}
TExifData::~TExifData() = default;

long TExifData::TagCount() const { return long(FData->Exif.count()); }

std::unique_ptr<TExifData> TExifData::ReadFromFile(const QString &fileName)
{
    Exiv2::LogMsg::setLevel(Exiv2::LogMsg::mute);  // damaged files are expected, not worth a line on stderr
    try {
        auto image = Exiv2::ImageFactory::open(QFile::encodeName(fileName).toStdString());
        image->readMetadata();
        if (image->exifData().empty())
            return nullptr;
        auto data = std::make_unique<TData>();
        data->Exif = image->exifData();
        return std::unique_ptr<TExifData>(new TExifData(std::move(data)));
    } catch (const std::exception &) {
        return nullptr;
    }
}

}  // namespace lmk
