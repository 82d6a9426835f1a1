#pragma once
// The splash and about window. Loaded while the start-up is not done
// (giStartupDone 0) it is the start-up splash: no buttons, closing itself at
// the fifth tick of a one-second timer or at a click. Loaded later it is the
// about box: Help opens the help text, Cancel or a click closes it.
#include <QString>
#include <QtGlobal>

#include "frame/modal_window.h"
#include "platform/widgets.h"

class QTimer;

// Shows the splash or about window modally and returns when it has closed.
// sProgramDir: the program's folder, which holds "OVHelp.txt".
void ShowSplash(const QString& sProgramDir, QWidget* parent = nullptr);

class frmSplash : public CaptionlessDialog {
    Q_OBJECT
public:
    // Creating the window loads it (Form_Load), deciding its mode from giStartupDone.
    explicit frmSplash(const QString& sProgramDir, QWidget* parent = nullptr);

    QTimer* Timer1;
    PictureButton* imgHelp;
    PictureButton* imgCancel;

    // Timer ticks counted since the start-up splash loaded.
    qint16 m_nTickCount = 0;

    QString HelpPath() const;

    void Form_Load();
    void ArrangeControls();
    void ResetButtonImages();

    void Timer1_Timer();
    void Form_Click();
    void Form_MouseMove();
    void imgHelp_MouseMove();
    void imgCancel_MouseMove();
    void imgHelp_MouseDown();
    void imgCancel_MouseDown();
    void imgHelp_Click();
    void imgCancel_Click();

protected:
    void closeEvent(QCloseEvent* e) override;

private:
    QString m_sProgramDir;
};
