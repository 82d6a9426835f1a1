// The picture page: choosing a picture file for the shown creature (with the
// file chooser replaced, and once with the real file-open dialog), the error
// cases, and the Screen button.
#include <QDialogButtonBox>
#include <QDirIterator>
#include <QFile>
#include <QFileDialog>
#include <QFileInfo>
#include <QImage>
#include <QImageReader>
#include <QLineEdit>
#include <QPushButton>
#include <QSettings>
#include <QStandardPaths>
#include <QTest>
#include <QWindow>

#include "platform/file_chooser.h"
#include "support/main_window_fixture.h"

namespace {

const QString kFilter = QStringLiteral("Graphics Files (*.bmp;*.gif;*.jpg)|*.bmp;*.gif;*.jpg");
const QString kTitle = QStringLiteral("Error Loading New Picture");

// Every file and folder under a folder, hidden ones included.
QStringList EntriesUnder(const QString& folder) {
    QStringList entries;
    QDirIterator it(folder, QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot,
                    QDirIterator::Subdirectories);
    while (it.hasNext()) entries << it.next();
    entries.sort();
    return entries;
}

// The real file-open dialog's button of that role. When the modal window is
// no file dialog with such a button: a failure, the window closed, nullptr.
QPushButton* ChooserButton(QWidget* dialog, QDialogButtonBox::StandardButton role, const char* name) {
    auto* chooser = qobject_cast<QFileDialog*>(dialog);
    auto* buttons = chooser ? chooser->findChild<QDialogButtonBox*>() : nullptr;
    QPushButton* button = buttons ? buttons->button(role) : nullptr;
    if (!button) {
        ADD_FAILURE() << "no file dialog with " << name << " button";
        dialog->close();
    }
    return button;
}

class MainPicture : public MainWindowFixture {
protected:
    void MakeCreature() {
        cat = Folder().AddCategory(QStringLiteral("Beasts"));
        ant = Folder().Insert(QStringLiteral("INSERT INTO Creatures (IDCategory, Name, Field0, Description, Picture) "
                                             "VALUES (?1, 'Ant', 'a0', 'small', '')"),
                              {cat});
    }
    QString StoredPicture() {
        return Folder().Scalar(QStringLiteral("SELECT Picture FROM Creatures WHERE IDCreature = ?1"), {ant}).toString();
    }
    // The chooser answers with these paths in turn (nothing: cancelled) and
    // notes the filters it was given.
    void ChooserAnswers(QList<std::optional<QString>> answers) {
        SetFileChooser([this, answers](QWidget*, const QString& filter) mutable -> std::optional<QString> {
            filters << filter;
            if (answers.isEmpty()) return std::nullopt;
            return answers.takeFirst();
        });
    }
    QString PicturePath(const QString& name) { return Folder().dir() + QLatin1Char('/') + name; }
    QString WriteImage(const QString& name, const char* format) {
        QImage img(40, 30, QImage::Format_RGB32);
        img.fill(QColor(10, 120, 200));
        const QString path = PicturePath(name);
        EXPECT_TRUE(img.save(path, format)) << name.toStdString();
        return path;
    }
    // Qt reads GIF but cannot write it: a 1 x 1 GIF89a put together by hand
    // (two-colour table; LZW data: clear code, colour 0, end code).
    QString WriteGif(const QString& name) {
        static const unsigned char gif[] = {
            'G', 'I', 'F', '8', '9', 'a', 0x01, 0x00, 0x01, 0x00, 0x80, 0x00, 0x00,  // header, screen
            0xFF, 0x00, 0x00, 0x00, 0x00, 0xFF,                                      // colours red, blue
            0x2C, 0x00, 0x00, 0x00, 0x00, 0x01, 0x00, 0x01, 0x00, 0x00,              // image descriptor
            0x02, 0x02, 0x44, 0x01, 0x00,                                            // image data
            0x3B};
        const QString path = PicturePath(name);
        QFile f(path);
        EXPECT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(reinterpret_cast<const char*>(gif), sizeof gif);
        return path;
    }
    QString WriteText(const QString& name) {
        const QString path = PicturePath(name);
        QFile f(path);
        EXPECT_TRUE(f.open(QIODevice::WriteOnly));
        f.write("this is no picture\n");
        return path;
    }
    void ShowPicturePage() {
        Click(w()->imgPicture);
        ASSERT_TRUE(w()->picPicture->isVisible());
    }
    void ShowCornerButtons() {
        QTest::mouseMove(w(), QPoint(600, 420));
        QApplication::processEvents();
    }

    qint64 cat = 0, ant = 0;
    QStringList filters;
};

TEST_F(MainPicture, ValidBmpGifAndJpegAreShownAndStoredAtOnce) {
    MakeCreature();
    StartMainWindow();
    ShowPicturePage();
    ASSERT_TRUE(w()->lblNoPicAvail->isVisible());
    const QString bmp = WriteImage("one.bmp", "BMP");
    const QString gif = WriteGif("two.gif");
    const QString jpg = WriteImage("three.JPG", "JPEG");
    ASSERT_FALSE(QImageReader(gif).read().isNull());
    ChooserAnswers({bmp, gif, jpg});

    // The first double-click lands on the notice, the others on the picture box.
    DoubleClick(w()->lblNoPicAvail);
    EXPECT_EQ(filters, QStringList{kFilter});
    EXPECT_FALSE(w()->lblNoPicAvail->isVisible());
    EXPECT_TRUE(w()->picPicture->hasPicture());
    EXPECT_EQ(w()->m_sPicturePath, bmp);
    EXPECT_EQ(StoredPicture(), bmp);

    for (const QString& path : {gif, jpg}) {
        DoubleClick(w()->picPicture, QPoint(150, 300));
        EXPECT_TRUE(w()->picPicture->hasPicture()) << path.toStdString();
        EXPECT_EQ(w()->m_sPicturePath, path);
        EXPECT_EQ(StoredPicture(), path);
    }
    EXPECT_EQ(filters.size(), 3);
    EXPECT_TRUE(MsgBoxTitles().isEmpty());

    // The stored path brings the picture back when the creature is loaded again.
    w()->lstCreature->Clear();
    w()->LoadCreatures(qint32(cat));
    w()->lstCreature->setListIndex(0);
    w()->ShowPage(2);
    EXPECT_TRUE(w()->picPicture->hasPicture());
    EXPECT_FALSE(w()->lblNoPicAvail->isVisible());
}

TEST_F(MainPicture, CancellingChangesNothingTheFirstTimeOrLater) {
    MakeCreature();
    StartMainWindow();
    ShowPicturePage();
    const QByteArray before = Folder().DatabaseBytes();
    ChooserAnswers({std::nullopt});
    DoubleClick(w()->lblNoPicAvail);
    EXPECT_EQ(filters.size(), 1);
    EXPECT_EQ(w()->m_sPicturePath, "");
    EXPECT_TRUE(w()->lblNoPicAvail->isVisible());
    EXPECT_FALSE(w()->picPicture->hasPicture());
    EXPECT_EQ(Folder().DatabaseBytes(), before);

    const QString bmp = WriteImage("one.bmp", "BMP");
    ChooserAnswers({bmp, std::nullopt});
    DoubleClick(w()->lblNoPicAvail);
    DoubleClick(w()->picPicture, QPoint(150, 300));
    EXPECT_EQ(w()->m_sPicturePath, bmp);
    EXPECT_TRUE(w()->picPicture->hasPicture());
    EXPECT_EQ(StoredPicture(), bmp);
    EXPECT_TRUE(MsgBoxTitles().isEmpty());
}

TEST_F(MainPicture, TextFileNamedBmpIsNotAValidPicture) {
    MakeCreature();
    StartMainWindow();
    ShowPicturePage();
    const QString bmp = WriteImage("one.bmp", "BMP");
    const QString fake = WriteText("fake.bmp");
    ChooserAnswers({bmp, fake});
    DoubleClick(w()->lblNoPicAvail);
    ASSERT_EQ(StoredPicture(), bmp);
    ASSERT_FALSE(w()->lblNoPicAvail->isVisible());

    DoubleClick(w()->picPicture, QPoint(150, 300));
    EXPECT_EQ(MsgBoxTitles(), QStringList{kTitle});
    EXPECT_EQ(MsgBoxPrompts(), QStringList{"Selected file is not a valid picture file."});
    // The choice changed nothing: the creature keeps its picture and path.
    EXPECT_EQ(w()->m_sPicturePath, bmp);
    EXPECT_TRUE(w()->picPicture->hasPicture());
    EXPECT_FALSE(w()->lblNoPicAvail->isVisible());
    EXPECT_EQ(StoredPicture(), bmp);

    // So a later save of the sheet, as every exit makes, keeps the stored picture.
    ShowCornerButtons();
    Click(w()->imgExit);
    EXPECT_EQ(EndProgramCalls(), 1);
    EXPECT_EQ(StoredPicture(), bmp);
}

TEST_F(MainPicture, MissingFileGivesTheErrorWithItsDescription) {
    MakeCreature();
    StartMainWindow();
    ShowPicturePage();
    ChooserAnswers({PicturePath("nowhere.jpg")});
    DoubleClick(w()->lblNoPicAvail);
    ASSERT_EQ(MsgBoxTitles(), QStringList{kTitle});
    EXPECT_TRUE(MsgBoxPrompts().first().startsWith("Error: ")) << MsgBoxPrompts().first().toStdString();
    EXPECT_NE(MsgBoxPrompts().first(), "Error: ");
    EXPECT_EQ(w()->m_sPicturePath, "");
    EXPECT_FALSE(w()->picPicture->hasPicture());
    EXPECT_TRUE(w()->lblNoPicAvail->isVisible());
    EXPECT_EQ(StoredPicture(), "");
}

TEST_F(MainPicture, PictureBeyondTheSizeLimitGetsItsOwnMessage) {
    MakeCreature();
    StartMainWindow();
    ShowPicturePage();
    // A BMP header claiming 9000 x 8000 pixels (72 million, above the limit of
    // 64 Mi pixels); it is refused before any pixel is read.
    QByteArray bmp("BM");
    auto le = [&bmp](quint32 v, int bytes) {
        for (int i = 0; i < bytes; ++i) bmp.append(char((v >> (8 * i)) & 0xff));
    };
    le(54, 4), le(0, 4), le(54, 4), le(40, 4), le(9000, 4), le(8000, 4), le(1, 2), le(24, 2);
    for (int i = 0; i < 6; ++i) le(0, 4);
    const QString path = PicturePath("poster.bmp");
    {
        QFile f(path);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(bmp);
    }
    ChooserAnswers({path});
    DoubleClick(w()->lblNoPicAvail);
    EXPECT_EQ(MsgBoxTitles(), QStringList{kTitle});
    EXPECT_EQ(MsgBoxPrompts(),
              QStringList{"Error: Picture too large: 9000 x 8000 pixels, more than the 67108864 pixels a picture may have"});
    EXPECT_EQ(StoredPicture(), "");
}

TEST_F(MainPicture, ChoiceWithNoCreatureShownIsKeptInMemoryOnly) {
    Folder().AddCategory(QStringLiteral("Empty"));
    StartMainWindow();
    ASSERT_EQ(w()->lblName->caption(), "");
    ShowPicturePage();
    const QString jpg = WriteImage("three.jpg", "JPEG");
    const QByteArray before = Folder().DatabaseBytes();
    ChooserAnswers({jpg});
    DoubleClick(w()->lblNoPicAvail);
    EXPECT_TRUE(w()->picPicture->hasPicture());
    EXPECT_EQ(w()->m_sPicturePath, jpg);
    EXPECT_EQ(Folder().DatabaseBytes(), before);
    EXPECT_TRUE(MsgBoxTitles().isEmpty());
}

TEST_F(MainPicture, TheRealChooserClosesOncePerDoubleClickAndLeavesNoSettingsBehind) {
    MakeCreature();
    StartMainWindow();
    ShowPicturePage();
    const QString bmp = WriteImage("one.bmp", "BMP");
    // The user's configuration folder, this test program's own.
    const QString config = QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation);
    ASSERT_EQ(config, qEnvironmentVariable("XDG_CONFIG_HOME"));
    const bool bConfigThere = QFileInfo::exists(config);
    const QStringList configBefore = EntriesUnder(config);
    const QPoint spot = w()->picPicture->mapToGlobal(QPoint(150, 300));

    // A choice: the file selected, then a double-click on Open, which lies
    // over the picture box; its first click closes the dialog.
    WhenModalShown([&](QWidget* dialog) {
        QPushButton* open = ChooserButton(dialog, QDialogButtonBox::Open, "an Open");
        if (!open) return;
        // The file's path typed into the name box: choosing it through the
        // dialog's selectFile would depend on whether the box had the focus yet.
        auto* chooser = static_cast<QFileDialog*>(dialog);
        auto* name = chooser->findChild<QLineEdit*>(QStringLiteral("fileNameEdit"));
        ASSERT_TRUE(name);
        name->setText(bmp);
        EXPECT_TRUE(QTest::qWaitFor([&] { return open->isEnabled() && chooser->selectedFiles() == QStringList{bmp}; }));
        if (!FirstClickOfADoubleClick(dialog, open, spot)) ADD_FAILURE() << "the first click did not close the dialog";
    });
    DoubleClick(w()->lblNoPicAvail);
    EXPECT_EQ(w()->m_sPicturePath, bmp);
    EXPECT_EQ(StoredPicture(), bmp);
    // The second press, on the same spot soon after, lands on the picture box:
    // it opens no second dialog.
    WithoutQuestion([&] { SecondPressAt(spot); });

    // Cancelled: the dialog opens in the folder of the last choice, and
    // nothing changes.
    QString openedIn;
    WhenModalShown([&](QWidget* dialog) {
        QPushButton* cancel = ChooserButton(dialog, QDialogButtonBox::Cancel, "a Cancel");
        if (!cancel) return;
        openedIn = static_cast<QFileDialog*>(dialog)->directory().absolutePath();
        QTest::mouseClick(cancel, Qt::LeftButton);
        if (dialog->isVisible()) {
            ADD_FAILURE() << "Cancel did not close the dialog";
            dialog->close();
        }
    });
    DoubleClick(w()->picPicture, QPoint(150, 300));
    EXPECT_EQ(openedIn, QFileInfo(bmp).absolutePath());
    EXPECT_EQ(w()->m_sPicturePath, bmp);
    EXPECT_EQ(StoredPicture(), bmp);
    EXPECT_TRUE(MsgBoxTitles().isEmpty());

    // No settings file came into the configuration folder, nor a lock file
    // or a temporary one; the mailbox's settings are still looked for there.
    EXPECT_EQ(QFileInfo::exists(config), bConfigThere);
    EXPECT_EQ(EntriesUnder(config), configBefore);
    EXPECT_EQ(QSettings(QSettings::IniFormat, QSettings::UserScope, QStringLiteral("Quenmarrow")).fileName(),
              config + QStringLiteral("/Quenmarrow.ini"));
}

TEST_F(MainPicture, ScreenTogglesTheCoverAndTheRosterPanelAndShowsThePicturePage) {
    MakeCreature();
    StartMainWindow();
    Click(w()->imgList[1]);  // an open list stays open above the cover
    ShowCornerButtons();
    Click(w()->imgScreen);
    EXPECT_TRUE(w()->imgConceal->isVisible());
    EXPECT_FALSE(w()->picRoster->isVisible());
    EXPECT_TRUE(w()->picPicture->isVisible());
    EXPECT_TRUE(w()->lstCategory->isVisible());

    Click(w()->imgPage2);
    ShowCornerButtons();
    Click(w()->imgScreen);
    EXPECT_FALSE(w()->imgConceal->isVisible());
    EXPECT_TRUE(w()->picRoster->isVisible());
    EXPECT_TRUE(w()->picPicture->isVisible());
}

TEST_F(MainPicture, TheCoverKeepsTheRightColumnFromTheMouse) {
    MakeCreature();
    StartMainWindow();
    ShowCornerButtons();
    Click(w()->imgScreen);
    ASSERT_TRUE(w()->imgConceal->isVisible());
    // A click where the lock button lies lands on the cover.
    const QPoint lockCentre = w()->imgLock->geometry().center();
    Click(w(), lockCentre);
    EXPECT_FALSE(w()->m_bLocked);
    EXPECT_FALSE(w()->lstCategory->isVisible());
}

}  // namespace
