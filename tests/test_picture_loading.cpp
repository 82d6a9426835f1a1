// Loading picture files (BMP, GIF and JPEG by content, with distinct errors)
// and the file-open dialog's filter.
#include <gtest/gtest.h>

#include <QApplication>
#include <QBuffer>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QFileSystemModel>
#include <QImage>
#include <QImageWriter>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include "platform/file_chooser.h"
#include "platform/picture.h"

#include <sys/stat.h>

namespace {

class PictureFiles : public ::testing::Test {
protected:
    QString Path(const QString& name) const { return m_dir.filePath(name); }

    // Writes a 7 x 5 picture in the given format under the given name.
    QString WritePicture(const QString& name, const char* format) {
        QImage img(7, 5, QImage::Format_RGB32);
        img.fill(QColor(200, 40, 10));
        QImageWriter writer(Path(name), format);
        EXPECT_TRUE(writer.write(img)) << writer.errorString().toStdString();
        return Path(name);
    }
    QString WriteBytes(const QString& name, const QByteArray& bytes) {
        QFile f(Path(name));
        EXPECT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(bytes);
        return Path(name);
    }

    QTemporaryDir m_dir;
};

}  // namespace

TEST_F(PictureFiles, BmpGifAndJpegLoadWhateverTheirNames) {
    const std::pair<QString, const char*> files[] = {
        {"a.bmp", "bmp"}, {"b.jpg", "jpeg"}, {"c.JPG", "jpeg"}, {"jpeg named.bmp", "jpeg"}, {"bmp named.gif", "bmp"},
        {"no extension", "bmp"},
    };
    for (const auto& [name, format] : files) {
        const PictureResult r = LoadPicture(WritePicture(name, format));
        EXPECT_TRUE(r.ok()) << name.toStdString() << ": " << r.description.toStdString();
        EXPECT_EQ(r.image.size(), QSize(7, 5)) << name.toStdString();
    }
    // A GIF written by hand: 1 x 1, one colour.
    const QByteArray gif = QByteArray::fromHex(
        "47494638396101000100800000ff000000000021f90401000000002c00000000010001000002024401003b");
    const PictureResult r = LoadPicture(WriteBytes("dot.gif", gif));
    EXPECT_TRUE(r.ok()) << r.description.toStdString();
    EXPECT_EQ(r.image.size(), QSize(1, 1));
}

TEST_F(PictureFiles, OtherContentIsNotAValidPicture) {
    const QString cases[] = {
        WritePicture("real.png", "png"),         // a picture, but not one of the three formats
        WritePicture("png named.jpg", "png"),
        WriteBytes("text.bmp", "just some text, no picture\n"),
        WriteBytes("empty.jpg", ""),
        WriteBytes("truncated.jpg", QByteArray::fromHex("ffd8ffe000104a464946")),
    };
    for (const QString& path : cases) {
        const PictureResult r = LoadPicture(path);
        EXPECT_FALSE(r.ok()) << path.toStdString();
        EXPECT_TRUE(r.invalidPicture()) << path.toStdString() << ": " << r.errorNumber;
        EXPECT_TRUE(r.image.isNull());
    }
}

TEST_F(PictureFiles, MissingAndUnreadableFilesAreOtherErrors) {
    const PictureResult missing = LoadPicture(Path("gone.bmp"));
    EXPECT_FALSE(missing.ok());
    EXPECT_FALSE(missing.invalidPicture());
    EXPECT_EQ(missing.errorNumber, PictureResult::kFileNotFound);
    EXPECT_FALSE(missing.description.isEmpty());

    const PictureResult empty = LoadPicture("");
    EXPECT_FALSE(empty.ok());
    EXPECT_FALSE(empty.invalidPicture());

    QDir(m_dir.path()).mkdir("folder.jpg");
    const PictureResult folder = LoadPicture(Path("folder.jpg"));
    EXPECT_FALSE(folder.ok());
    EXPECT_FALSE(folder.invalidPicture());
    EXPECT_FALSE(folder.description.isEmpty());

    // A named pipe nobody writes to is refused at once instead of blocking.
    ASSERT_EQ(::mkfifo(Path("pipe.gif").toLocal8Bit().constData(), 0600), 0);
    const PictureResult pipe = LoadPicture(Path("pipe.gif"));
    EXPECT_EQ(pipe.errorNumber, PictureResult::kFileAccess);
}

TEST_F(PictureFiles, HugeClaimedSizeIsRefusedBeforeDecoding) {
    // BMP headers claiming huge sizes with no pixel data behind them.
    auto header = [](qint32 width, qint32 height) {
        QByteArray bmp("BM");
        auto le32 = [&bmp](qint32 v) { for (int i = 0; i < 4; ++i) bmp.append(char((v >> (8 * i)) & 0xff)); };
        auto le16 = [&bmp](qint16 v) { for (int i = 0; i < 2; ++i) bmp.append(char((v >> (8 * i)) & 0xff)); };
        le32(54);  // file size (a lie)
        le32(0);
        le32(54);  // pixel data offset
        le32(40);  // header size
        le32(width);
        le32(height);
        le16(1);
        le16(24);
        le32(0);
        le32(0);
        le32(2835);
        le32(2835);
        le32(0);
        le32(0);
        return bmp;
    };
    // Beyond what Qt's BMP reader takes at all.
    const PictureResult r = LoadPicture(WriteBytes("huge.bmp", header(30000, 30000)));
    EXPECT_FALSE(r.ok());
    EXPECT_TRUE(r.image.isNull());
    // Beyond the program's own limit of 64 Mi pixels: its own error, which
    // says why, not "not a valid picture".
    const PictureResult big = LoadPicture(WriteBytes("big.bmp", header(8193, 8192)));
    EXPECT_FALSE(big.ok());
    EXPECT_EQ(big.errorNumber, PictureResult::kOutOfMemory);
    EXPECT_TRUE(big.description.startsWith("Picture too large: 8193 x 8192 pixels")) << big.description.toStdString();
}

TEST_F(PictureFiles, EveryPictureWithinTheSizeLimitLoads) {
    // 6000 x 6000 = 36 million pixels, 144 MB decoded: beyond Qt's default
    // image allocation limit, within the program's own.
    {
        QImage img(6000, 6000, QImage::Format_RGB32);
        img.fill(QColor(30, 90, 160));
        QImageWriter writer(Path("big.jpg"), "jpeg");
        ASSERT_TRUE(writer.write(img)) << writer.errorString().toStdString();
    }
    const PictureResult r = LoadPicture(Path("big.jpg"));
    EXPECT_TRUE(r.ok()) << r.errorNumber << ": " << r.description.toStdString();
    EXPECT_EQ(r.image.size(), QSize(6000, 6000));
}

TEST(FileDialogFilter, TheTypeBoxShowsThePatternsAndTheDialogMatchesThemInAnyCase) {
    const QString filter = "Graphics Files (*.bmp;*.gif;*.jpg)|*.bmp;*.gif;*.jpg";
    EXPECT_EQ(QtNameFilters(filter), QStringList{"Graphics Files (*.bmp *.gif *.jpg)"});
    // Several entries give several filters.
    EXPECT_EQ(QtNameFilters("Text (*.txt)|*.txt|All (*.*)|*.*"), (QStringList{"Text (*.txt)", "All (*.*)"}));

    // The real dialog, in a folder of pictures named in every case.
    QTemporaryDir dir;
    for (const char* name : {"orc.bmp", "ORC2.BMP", "Bat.Gif", "photo.jpg", "PHOTO2.JPG", "a b.jPg", "orc.png",
                             "photo.jpeg", "x.bmp.txt", "notes.txt"}) {
        QFile f(dir.filePath(name));
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    }
    QString typeBox;
    QStringList listed;
    QTimer::singleShot(0, [&] {
        auto* dialog = qobject_cast<QFileDialog*>(QApplication::activeModalWidget());
        if (!dialog) {
            ADD_FAILURE() << "no file dialog";
            return;
        }
        if (auto* combo = dialog->findChild<QComboBox*>("fileTypeCombo")) typeBox = combo->currentText();
        dialog->setDirectory(dir.path());
        auto* model = dialog->findChild<QFileSystemModel*>();
        for (int tries = 0; model && tries < 500; ++tries) {
            QTest::qWait(10);
            const QModelIndex root = model->index(dir.path());
            if (model->canFetchMore(root)) model->fetchMore(root);
            if (model->rowCount(root) < 6) continue;
            QTest::qWait(50);  // let the folder's listing settle
            listed.clear();
            for (int row = 0; row < model->rowCount(root); ++row) listed << model->index(row, 0, root).data().toString();
            break;
        }
        dialog->reject();
    });
    EXPECT_EQ(ChooseOpenFile(nullptr, filter), std::nullopt);
    EXPECT_EQ(typeBox, "Graphics Files (*.bmp *.gif *.jpg)");
    listed.sort();
    EXPECT_EQ(listed, (QStringList{"Bat.Gif", "ORC2.BMP", "PHOTO2.JPG", "a b.jPg", "orc.bmp", "photo.jpg"}));
}
