#include "frame/dialogs.h"

#include <QPixmap>

#include "frame/button_store.h"
#include "frame/geometry.h"
#include "frame/modal_window.h"
#include "platform/modal.h"

QString gsInputText;
QString gsInputDefault;
qint16 giAreYouSureResult = 0;

namespace {

QPixmap look(StoreArray array, int nLook) { return frmImageStore::Instance().Image(array, nLook); }

Label* MakePromptLabel(QWidget* parent, const char* name) {
    auto* label = new Label(parent);
    label->setObjectName(QString::fromLatin1(name));
    label->setAlignment(Qt::AlignHCenter | Qt::AlignTop);
    label->setForeColor(kDarkBrown);
    SetProgramFont(label, false, true);
    return label;
}

PictureButton* MakeButton(QWidget* parent, const char* name) {
    auto* button = new PictureButton(parent);
    button->setObjectName(QString::fromLatin1(name));
    return button;
}

}  // namespace

void ShowAreYouSure(QWidget* parent) {
    frmAreYouSure dialog(parent);
    dialog.centreOnScreen();
    ShowModal(&dialog);
}

void ShowInputBox(QWidget* parent) {
    frmInputBox dialog(parent);
    dialog.centreOnScreen();
    ShowModal(&dialog);
}

// ---------------------------------------------------------------- frmAreYouSure

frmAreYouSure::frmAreYouSure(QWidget* parent) : CaptionlessDialog(parent) {
    setObjectName(QStringLiteral("frmAreYouSure"));
    setBackground(frmImageStore::Instance().AreYouSureBackground());
    Label1 = MakePromptLabel(client(), "Label1");
    Label1->setCaption(QStringLiteral("Are you sure?"));
    imgYes = MakeButton(client(), "imgYes");
    imgNo = MakeButton(client(), "imgNo");

    connect(this, &Form::MouseMove, this, [this] { Form_MouseMove(); });
    connect(imgYes, &PictureButton::MouseMove, this, [this] { imgYes_MouseMove(); });
    connect(imgNo, &PictureButton::MouseMove, this, [this] { imgNo_MouseMove(); });
    connect(imgYes, &PictureButton::MouseDown, this, [this] { imgYes_MouseDown(); });
    connect(imgNo, &PictureButton::MouseDown, this, [this] { imgNo_MouseDown(); });
    connect(imgYes, &PictureButton::Click, this, [this] { imgYes_Click(); });
    connect(imgNo, &PictureButton::Click, this, [this] { imgNo_Click(); });

    Form_Load();
}

void frmAreYouSure::Form_Load() {
    ArrangeControls();
    ResetButtonImages();
    // Closed without an answer (by the window manager): No.
    giAreYouSureResult = 1;
}

void frmAreYouSure::ArrangeControls() {
    MoveFormPx(this, -1, -1, 206, 130);
    FitCaptionlessFrame();
    MoveControlPx(imgNo, 117, 70, 35, 30);
    MoveControlPx(imgYes, 45, 70, 35, 30);
    MoveControlPx(Label1, 0, 32, 201, 33);
    SetFontPx(Label1, 16);
}

void frmAreYouSure::ResetButtonImages() {
    imgYes->setPicture(look(StoreArray::imgYes, LookNormal));
    imgNo->setPicture(look(StoreArray::imgNo, LookNormal));
}

void frmAreYouSure::Form_MouseMove() { ResetButtonImages(); }

void frmAreYouSure::imgYes_MouseMove() {
    ResetButtonImages();
    imgYes->setPicture(look(StoreArray::imgYes, LookHover));
}

void frmAreYouSure::imgNo_MouseMove() {
    ResetButtonImages();
    imgNo->setPicture(look(StoreArray::imgNo, LookHover));
}

void frmAreYouSure::imgYes_MouseDown() {
    ResetButtonImages();
    imgYes->setPicture(look(StoreArray::imgYes, LookPressed));
}

void frmAreYouSure::imgNo_MouseDown() {
    ResetButtonImages();
    imgNo->setPicture(look(StoreArray::imgNo, LookPressed));
}

void frmAreYouSure::imgYes_Click() {
    giAreYouSureResult = 0;
    close();
}

void frmAreYouSure::imgNo_Click() {
    giAreYouSureResult = 1;
    close();
}

// ---------------------------------------------------------------- frmInputBox

frmInputBox::frmInputBox(QWidget* parent) : CaptionlessDialog(parent) {
    setObjectName(QStringLiteral("frmInputBox"));
    setBackground(frmImageStore::Instance().InputBoxBackground());
    lblInstructions = MakePromptLabel(client(), "lblInstructions");
    txtInput = new TextBox(client());
    txtInput->setObjectName(QStringLiteral("txtInput"));
    SetProgramFont(txtInput);
    imgOK = MakeButton(client(), "imgOK");
    imgCancel = MakeButton(client(), "imgCancel");
    // The buttons start with their normal pictures; the load does not reset them.
    imgOK->setPicture(look(StoreArray::imgOK, LookNormal));
    imgCancel->setPicture(look(StoreArray::imgCancel, LookNormal));

    connect(this, &Form::MouseMove, this, [this] { Form_MouseMove(); });
    connect(imgOK, &PictureButton::MouseMove, this, [this] { imgOK_MouseMove(); });
    connect(imgCancel, &PictureButton::MouseMove, this, [this] { imgCancel_MouseMove(); });
    connect(imgOK, &PictureButton::MouseDown, this, [this] { imgOK_MouseDown(); });
    connect(imgCancel, &PictureButton::MouseDown, this, [this] { imgCancel_MouseDown(); });
    connect(imgOK, &PictureButton::Click, this, [this] { imgOK_Click(); });
    connect(imgCancel, &PictureButton::Click, this, [this] { imgCancel_Click(); });
    connect(txtInput, &TextBox::KeyPress, this, [this](int, int keyAscii) { txtInput_KeyPress(keyAscii); });

    Form_Load();
}

void frmInputBox::Form_Load() {
    ArrangeControls();
    lblInstructions->setCaption(gsInputText);
    txtInput->setText(gsInputDefault);
    txtInput->selectAll();
    // Closed without an answer (by the window manager): Cancel.
    gsInputText = QString();
}

void frmInputBox::ArrangeControls() {
    MoveFormPx(this, -1, -1, 334, 130);
    FitCaptionlessFrame();
    MoveControlPx(imgCancel, 167, 80, 60, 25);
    MoveControlPx(imgOK, 82, 80, 60, 25);
    MoveControlPx(lblInstructions, 32, 24, 265, 25);
    SetFontPx(lblInstructions, 16);
    MoveControlPx(txtInput, 32, 56, 265, 19);
    SetFontPx(txtInput, 11);
}

void frmInputBox::showEvent(QShowEvent* e) {
    Form::showEvent(e);
    // The text box is the only control that takes the focus.
    txtInput->setFocus(Qt::OtherFocusReason);
}

void frmInputBox::ResetButtonImages() {
    imgOK->setPicture(look(StoreArray::imgOK, LookNormal));
    imgCancel->setPicture(look(StoreArray::imgCancel, LookNormal));
}

void frmInputBox::Form_MouseMove() { ResetButtonImages(); }

void frmInputBox::imgOK_MouseMove() {
    ResetButtonImages();
    imgOK->setPicture(look(StoreArray::imgOK, LookHover));
}

void frmInputBox::imgCancel_MouseMove() {
    ResetButtonImages();
    imgCancel->setPicture(look(StoreArray::imgCancel, LookHover));
}

void frmInputBox::imgOK_MouseDown() {
    ResetButtonImages();
    imgOK->setPicture(look(StoreArray::imgOK, LookPressed));
}

void frmInputBox::imgCancel_MouseDown() {
    ResetButtonImages();
    imgCancel->setPicture(look(StoreArray::imgCancel, LookPressed));
}

void frmInputBox::imgOK_Click() {
    gsInputText = txtInput->text();
    close();
}

void frmInputBox::imgCancel_Click() {
    gsInputText = QString();
    close();
}

void frmInputBox::txtInput_KeyPress(int keyAscii) {
    if (keyAscii == 13) imgOK_Click();
}
