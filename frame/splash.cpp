#include "frame/splash.h"

#include <QCloseEvent>
#include <QDir>
#include <QPixmap>
#include <QTimer>

#include "frame/button_store.h"
#include "frame/geometry.h"
#include "frame/help_viewer.h"
#include "frame/modal_window.h"
#include "frame/startup.h"
#include "platform/modal.h"

namespace {

// The buttons' looks in the splash button grid: Help uses cells 0 to 2,
// Cancel cells 6 to 8 (normal, lit, pressed).
constexpr int kHelpCell = 0;
constexpr int kCancelCell = 6;

QPixmap splashCell(int cell) { return frmImageStore::Instance().Cell(StoreGrid::clpSplashButtons, cell); }

}  // namespace

void ShowSplash(const QString& sProgramDir, QWidget* parent) {
    frmSplash splash(sProgramDir, parent);
    splash.centreOnScreen();
    ShowModal(&splash);
}

frmSplash::frmSplash(const QString& sProgramDir, QWidget* parent)
    : CaptionlessDialog(parent), m_sProgramDir(sProgramDir) {
    setObjectName(QStringLiteral("frmSplash"));
    setBackground(frmImageStore::Instance().SplashBackground());
    Timer1 = new QTimer(this);
    Timer1->setObjectName(QStringLiteral("Timer1"));
    Timer1->setInterval(1000);
    imgHelp = new PictureButton(client());
    imgHelp->setObjectName(QStringLiteral("imgHelp"));
    imgCancel = new PictureButton(client());
    imgCancel->setObjectName(QStringLiteral("imgCancel"));

    connect(Timer1, &QTimer::timeout, this, [this] { Timer1_Timer(); });
    connect(this, &Form::Click, this, [this] { Form_Click(); });
    connect(this, &Form::MouseMove, this, [this] { Form_MouseMove(); });
    connect(imgHelp, &PictureButton::MouseMove, this, [this] { imgHelp_MouseMove(); });
    connect(imgCancel, &PictureButton::MouseMove, this, [this] { imgCancel_MouseMove(); });
    connect(imgHelp, &PictureButton::MouseDown, this, [this] { imgHelp_MouseDown(); });
    connect(imgCancel, &PictureButton::MouseDown, this, [this] { imgCancel_MouseDown(); });
    connect(imgHelp, &PictureButton::Click, this, [this] { imgHelp_Click(); });
    connect(imgCancel, &PictureButton::Click, this, [this] { imgCancel_Click(); });

    Form_Load();
}

QString frmSplash::HelpPath() const { return QDir(m_sProgramDir).filePath(QStringLiteral("OVHelp.txt")); }

void frmSplash::Form_Load() {
    ArrangeControls();
    ResetButtonImages();
    if (giStartupDone == 0) {
        m_nTickCount = 0;
        Timer1->start();
        imgHelp->hide();
        imgCancel->hide();
    } else {
        Timer1->stop();
        imgHelp->show();
        imgCancel->show();
    }
}

void frmSplash::ArrangeControls() {
    MoveFormPx(this, -1, -1, 486, 345);
    FitCaptionlessFrame();
    MoveControlPx(imgCancel, 393, 283, 70, 30);
    MoveControlPx(imgHelp, 237, 283, 70, 30);
}

void frmSplash::ResetButtonImages() {
    imgHelp->setPicture(splashCell(kHelpCell));
    imgCancel->setPicture(splashCell(kCancelCell));
}

void frmSplash::Timer1_Timer() {
    m_nTickCount = qint16(m_nTickCount + 1);
    if (m_nTickCount >= 5) Form_Click();
}

void frmSplash::Form_Click() { close(); }

void frmSplash::Form_MouseMove() { ResetButtonImages(); }

void frmSplash::imgHelp_MouseMove() {
    ResetButtonImages();
    imgHelp->setPicture(splashCell(kHelpCell + LookHover));
}

void frmSplash::imgCancel_MouseMove() {
    ResetButtonImages();
    imgCancel->setPicture(splashCell(kCancelCell + LookHover));
}

void frmSplash::imgHelp_MouseDown() {
    ResetButtonImages();
    imgHelp->setPicture(splashCell(kHelpCell + LookPressed));
}

void frmSplash::imgCancel_MouseDown() {
    ResetButtonImages();
    imgCancel->setPicture(splashCell(kCancelCell + LookPressed));
}

void frmSplash::imgHelp_Click() { ShowTextFile(HelpPath()); }

void frmSplash::imgCancel_Click() { close(); }

void frmSplash::closeEvent(QCloseEvent* e) {
    // Unloading stops the count-down, whatever closed the window.
    Timer1->stop();
    e->accept();
}
