#include "platform/picture.h"

#include <QFile>
#include <QFileInfo>
#include <QImageReader>

PictureResult LoadPicture(const QString& path) {
    PictureResult r;
    const QFileInfo info(path);
    if (path.isEmpty() || !info.exists()) {
        r.errorNumber = PictureResult::kFileNotFound;
        r.description = QStringLiteral("File not found: %1").arg(path);
        return r;
    }
    QFile file(path);
    // Only a regular file is opened: a pipe or a device would block or never end.
    if (!info.isFile() || !file.open(QIODevice::ReadOnly)) {
        r.errorNumber = PictureResult::kFileAccess;
        r.description = QStringLiteral("Path/File access error: %1").arg(path);
        return r;
    }
    QImageReader reader(&file);
    reader.setDecideFormatFromContent(true);
    const QByteArray format = reader.format().toLower();
    if (format != "bmp" && format != "gif" && format != "jpeg" && format != "jpg") {
        r.errorNumber = PictureResult::kInvalidPicture;
        r.description = QStringLiteral("Invalid picture");
        return r;
    }
    reader.setFormat(format);
    const QSize size = reader.size();
    if (size.isValid() && qint64(size.width()) * size.height() > kMaxPicturePixels) {
        r.errorNumber = PictureResult::kOutOfMemory;
        r.description = QStringLiteral("Picture too large: %1 x %2 pixels, more than the %3 pixels a picture may have")
                            .arg(size.width())
                            .arg(size.height())
                            .arg(kMaxPicturePixels);
        return r;
    }
    // Qt refuses to allocate images above its own limit (128 MB by default,
    // about 33.5 million pixels at four bytes each): raise it so that every
    // picture this gate lets through can be decoded.
    if (QImageReader::allocationLimit() != 0 && QImageReader::allocationLimit() < kPictureAllocationLimitMB)
        QImageReader::setAllocationLimit(kPictureAllocationLimitMB);
    QImage img = reader.read();
    if (img.isNull()) {
        r.errorNumber = PictureResult::kInvalidPicture;
        r.description = QStringLiteral("Invalid picture");
        return r;
    }
    r.image = std::move(img);
    return r;
}
