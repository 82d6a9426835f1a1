#pragma once
// The confirmation dialog ("Are you sure?", Yes or No) and the text-prompt
// dialog (a prompt, one line of text, OK or Cancel). Caller and dialog speak
// through the dialog protocol below; each question loads a fresh dialog.
#include <QString>
#include <QtGlobal>

#include "frame/modal_window.h"
#include "platform/widgets.h"

class QCloseEvent;

// The dialog protocol.
// gsInputText: the prompt in; the answer out (the typed text after OK or
// Enter, "" after Cancel).
extern QString gsInputText;
// gsInputDefault: the text-prompt's initial text, shown selected.
extern QString gsInputDefault;
// giAreYouSureResult: 0 after Yes, 1 after No.
extern qint16 giAreYouSureResult;

// Asks "Are you sure?" modally; the answer is in giAreYouSureResult. A close
// by the window manager counts as No.
void ShowAreYouSure(QWidget* parent);

// Asks for one line of text under the prompt gsInputText, starting from
// gsInputDefault; the answer is in gsInputText. A close by the window manager
// counts as Cancel.
void ShowInputBox(QWidget* parent);

class frmAreYouSure : public CaptionlessDialog {
    Q_OBJECT
public:
    // Creating the dialog loads it (Form_Load).
    explicit frmAreYouSure(QWidget* parent = nullptr);

    Label* Label1;
    PictureButton* imgYes;
    PictureButton* imgNo;

    void Form_Load();
    void ArrangeControls();
    void ResetButtonImages();

    void Form_MouseMove();
    void imgYes_MouseMove();
    void imgNo_MouseMove();
    void imgYes_MouseDown();
    void imgNo_MouseDown();
    void imgYes_Click();
    void imgNo_Click();
};

class frmInputBox : public CaptionlessDialog {
    Q_OBJECT
public:
    // Creating the dialog loads it (Form_Load), which reads gsInputText and
    // gsInputDefault: set both first.
    explicit frmInputBox(QWidget* parent = nullptr);

    Label* lblInstructions;
    TextBox* txtInput;
    PictureButton* imgOK;
    PictureButton* imgCancel;

    void Form_Load();
    void ArrangeControls();
    void ResetButtonImages();

    void Form_MouseMove();
    void imgOK_MouseMove();
    void imgCancel_MouseMove();
    void imgOK_MouseDown();
    void imgCancel_MouseDown();
    void imgOK_Click();
    void imgCancel_Click();
    void txtInput_KeyPress(int keyAscii);

protected:
    void showEvent(QShowEvent* e) override;
};
