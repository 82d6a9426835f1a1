#pragma once
#include <QImage>
#include <QString>

// Loads a picture file. Only BMP, GIF and JPEG pictures are accepted, judged by
// their content, not by the file name. A file that exists and can be read but
// holds no such picture is "not a valid picture" (error 481), which callers
// tell apart from a missing or unreadable file.
struct PictureResult {
    QImage image;
    int errorNumber = 0;      // 0 when the picture was loaded
    QString description;      // the failure's description
    bool ok() const { return errorNumber == 0; }
    bool invalidPicture() const { return errorNumber == kInvalidPicture; }

    static constexpr int kInvalidPicture = 481;
    static constexpr int kFileNotFound = 53;
    static constexpr int kFileAccess = 75;
    static constexpr int kOutOfMemory = 7;
};

// Pictures larger than this many pixels are refused before they are decoded,
// so a small file that claims huge dimensions cannot exhaust memory.
inline constexpr qint64 kMaxPicturePixels = 64LL * 1024 * 1024;

// The decoded picture of the largest size allowed, at four bytes a pixel (the
// most any BMP, GIF or JPEG decodes to), in megabytes: the image allocation
// limit that lets every picture within the gate load.
inline constexpr int kPictureAllocationLimitMB = int(kMaxPicturePixels * 4 / (1024 * 1024));

PictureResult LoadPicture(const QString& path);
