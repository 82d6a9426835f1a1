// The main window's controls, their fixed pixel layout, stacking and tab order.
#include <QApplication>
#include <QKeyEvent>
#include <QShowEvent>

#include "frame/button_store.h"
#include "frame/geometry.h"
#include "mainwindow/main_window.h"
#include "platform/input_runs.h"

namespace {
QString indexed(const char* name, int i) { return QStringLiteral("%1(%2)").arg(QLatin1String(name)).arg(i); }

template <typename W>
W* named(W* w, const QString& name) {
    w->setObjectName(name);
    return w;
}
}  // namespace

frmMain::frmMain(const QString& programDir, QWidget* parent)
    : Form(parent, Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint), m_programDir(programDir) {
    setObjectName(QStringLiteral("frmMain"));
    setWindowTitle(QStringLiteral("The Ostravell"));
    CreateControls();
    ConnectHandlers();
    const frmImageStore& store = frmImageStore::Instance();
    setWindowIcon(store.Icon());
    setBackground(store.MainBackground());
    picRoster->setBackground(store.RosterBackground());
    imgConceal->setPicture(store.ConcealPicture());
    // Key preview: the window sees every key before the control that has the focus.
    qApp->installEventFilter(this);
    // A key or a click that belongs to nothing reaches the key preview neither.
    WatchInputRunsFirst();
}

frmMain::~frmMain() {
    qApp->removeEventFilter(this);
    // Tearing the window down hides it and moves the focus out of its boxes;
    // no handler may run on a window that is being destroyed (a box with
    // unsaved typing would otherwise try to save through deleted controls).
    QObject::disconnect(this, nullptr, this, nullptr);
    for (QObject* child : findChildren<QObject*>()) QObject::disconnect(child, nullptr, this, nullptr);
}

QString frmMain::DatabasePath() const { return m_programDir + QStringLiteral("/Ostravell.mdb"); }
QString frmMain::CfgPath() const { return m_programDir + QStringLiteral("/Ostravell.cfg"); }
QString frmMain::HelpPath() const { return m_programDir + QStringLiteral("/OVHelp.txt"); }

void frmMain::CreateControls() {
    // Labels and pictures of the window, created back to front.
    for (int i = 0; i <= 10; ++i) {
        auto* l = named(new Label(this, i), indexed("lblStatLabel", i));
        SetProgramFont(l, true);
        l->setAlignment(Qt::AlignRight | Qt::AlignTop);
        l->setCaption(QStringLiteral("Label %1").arg(i));
        lblStatLabel[size_t(i)] = l;
    }
    imgPage1 = named(new PictureButton(this), QStringLiteral("imgPage1"));
    imgPage2 = named(new PictureButton(this), QStringLiteral("imgPage2"));
    imgPicture = named(new PictureButton(this), QStringLiteral("imgPicture"));
    imgScreen = named(new PictureButton(this), QStringLiteral("imgScreen"));
    imgHelp = named(new PictureButton(this), QStringLiteral("imgHelp"));
    imgExit = named(new PictureButton(this), QStringLiteral("imgExit"));
    for (auto* b : {imgScreen, imgHelp, imgExit}) b->hide();
    imgAdd = named(new PictureButton(this), QStringLiteral("imgAdd"));
    imgRemove = named(new PictureButton(this), QStringLiteral("imgRemove"));
    imgClear = named(new PictureButton(this), QStringLiteral("imgClear"));
    imgLock = named(new PictureButton(this), QStringLiteral("imgLock"));
    for (int i = 0; i < 3; ++i) {
        imgList[size_t(i)] = named(new PictureButton(this, i), indexed("imgList", i));
        imgNew[size_t(i)] = named(new PictureButton(this, i), indexed("imgNew", i));
        imgDelete[size_t(i)] = named(new PictureButton(this, i), indexed("imgDelete", i));
    }
    lblRosterCurrent = named(new Label(this), QStringLiteral("lblRosterCurrent"));
    lblCategory = named(new Label(this), QStringLiteral("lblCategory"));
    lblName = named(new Label(this), QStringLiteral("lblName"));
    SetProgramFont(lblRosterCurrent);
    SetProgramFont(lblCategory);
    SetProgramFont(lblName, true);
    lblSizing = named(new Label(this), QStringLiteral("lblSizing"));
    SetProgramFont(lblSizing);
    lblSizing->setLiteralAmpersand(true);
    lblSizing->setAutoSize(true);
    lblSizing->setCaption(QStringLiteral("Sizing label"));
    lblSizing->hide();
    imgConceal = named(new PictureButton(this), QStringLiteral("imgConceal"));
    imgConceal->hide();

    // Windowed controls lie above the labels and pictures, created back to front.
    picRoster = named(new PictureBox(this), QStringLiteral("picRoster"));
    // The panel takes the focus by Tab only: a click or double-click on a
    // roster line or arrow leaves the focus where it was, so a statistic box
    // being typed in keeps it.
    picRoster->setFocusPolicy(Qt::TabFocus);
    for (int i = 0; i < 8; ++i) {
        auto* l = named(new Label(picRoster->client(), i), indexed("lblRosterEntry", i));
        SetProgramFont(l);
        l->setLiteralAmpersand(true);
        lblRosterEntry[size_t(i)] = l;
    }
    for (int i = 0; i < 2; ++i) {
        auto* b = named(new PictureButton(picRoster->client(), i), indexed("imgRosterScroll", i));
        b->hide();
        imgRosterScroll[size_t(i)] = b;
    }
    for (int i = 0; i <= 20; ++i) {
        auto* t = named(new TextBox(this, i, i == 10 || i == 11), indexed("txtStatText", i));
        SetProgramFont(t);
        t->hide();
        txtStatText[size_t(i)] = t;
    }
    picPicture = named(new PictureBox(this), QStringLiteral("picPicture"));
    lblNoPicAvail = named(new Label(picPicture->client()), QStringLiteral("lblNoPicAvail"));
    SetProgramFont(lblNoPicAvail, true, true);
    lblNoPicAvail->setAlignment(Qt::AlignHCenter | Qt::AlignTop);
    lblNoPicAvail->setAutoSize(true);
    lblNoPicAvail->setCaption(QStringLiteral("No Picture Available"));
    lblNoPicAvail->hide();
    lstRoster = named(new ListBox(this, false), QStringLiteral("lstRoster"));
    lstCategory = named(new ListBox(this, true), QStringLiteral("lstCategory"));
    lstCreature = named(new ListBox(this, true), QStringLiteral("lstCreature"));
    for (auto* l : {lstRoster, lstCategory, lstCreature}) {
        SetProgramFont(l);
        l->hide();
    }

    // Tab order: the statistic boxes of page 0 and the description, the
    // picture page, the three lists, the boxes of page 1, the roster panel.
    QList<QWidget*> order;
    for (int i = 0; i <= 10; ++i) order << txtStatText[size_t(i)];
    order << picPicture << lstCreature << lstCategory << lstRoster;
    for (int i = 11; i <= 20; ++i) order << txtStatText[size_t(i)];
    order << picRoster;
    for (qsizetype i = 0; i + 1 < order.size(); ++i) QWidget::setTabOrder(order[i], order[i + 1]);
}

void frmMain::ArrangeControls() {
    MoveFormPx(this, -1, -1, 644, 480);
    MoveControlPx(imgPage1, 40, 400, 72, 36);
    MoveControlPx(imgPage2, 130, 400, 72, 36);
    MoveControlPx(imgPicture, 220, 400, 72, 36);
    for (int i = 0; i <= 9; ++i) {
        const int y = 48 + 24 * i;
        MoveControlPx(txtStatText[size_t(i)], 144, y, 177, 19);
        SetFontPx(txtStatText[size_t(i)], 11);
        MoveControlPx(lblStatLabel[size_t(i)], 32, y, 105, 17);
        SetFontPx(lblStatLabel[size_t(i)], 12);
        MoveControlPx(txtStatText[size_t(i + 11)], 144, y, 177, 19);
        SetFontPx(txtStatText[size_t(i + 11)], 11);
    }
    MoveControlPx(txtStatText[10], 144, 288, 177, 107);
    SetFontPx(txtStatText[10], 11);
    MoveControlPx(lblStatLabel[10], 32, 288, 105, 17);
    SetFontPx(lblStatLabel[10], 12);
    MoveControlPx(picPicture, 24, 32, 305, 370);
    MoveControlPx(lblNoPicAvail, 32, 144, 239, 33);
    SetFontPx(lblNoPicAvail, 24);
    MoveControlPx(imgScreen, 370, 400, 90, 45);
    MoveControlPx(imgHelp, 460, 400, 90, 45);
    MoveControlPx(imgExit, 550, 400, 90, 45);
    MoveControlPx(imgAdd, 385, 355, 64, 32);
    MoveControlPx(imgClear, 520, 355, 64, 32);
    MoveControlPx(imgRemove, 450, 355, 64, 32);
    MoveControlPx(lstRoster, 368, 152, 249, 123);
    SetFontPx(lstRoster, 12);
    MoveControlPx(picRoster, 368, 208, 249, 137);
    MoveControlPx(lblRosterCurrent, 376, 152, 233, 17);
    SetFontPx(lblRosterCurrent, 12);
    for (int i = 0; i <= 7; ++i) {
        MoveControlPx(lblRosterEntry[size_t(i)], 8, 16 * i, 200, 17);
        SetFontPx(lblRosterEntry[size_t(i)], 12);
    }
    SetFontPx(lblSizing, 12);
    MoveControlPx(imgConceal, 350, 10, 280, 380);
    for (int i = 0; i < 3; ++i) MoveControlPx(imgList[size_t(i)], 553, 27 + 48 * i, 20, 20);
    for (int i = 0; i < 3; ++i) MoveControlPx(imgNew[size_t(i)], 575, 27 + 48 * i, 20, 20);
    for (int i = 0; i < 3; ++i) MoveControlPx(imgDelete[size_t(i)], 595, 27 + 48 * i, 20, 20);
    MoveControlPx(imgLock, 533, 75, 20, 20);
    MoveControlPx(imgRosterScroll[0], 222, 1, 20, 20);
    MoveControlPx(imgRosterScroll[1], 222, 112, 20, 20);
    MoveControlPx(lblCategory, 436, 78, 93, 17);
    MoveControlPx(lstCategory, 368, 104, 249, 123);
    SetFontPx(lblCategory, 12);
    SetFontPx(lstCategory, 12);
    MoveControlPx(lblName, 368, 24, 157, 25);
    MoveControlPx(lstCreature, 368, 56, 249, 123);
    SetFontPx(lblName, 15);
    SetFontPx(lstCreature, 12);
}

void frmMain::ConnectHandlers() {
    connect(this, &Form::MouseMove, this, &frmMain::Form_MouseMove);
    connect(this, &Form::Click, this, &frmMain::Form_Click);

    connect(imgPage1, &PictureButton::Click, this, [this] { imgPage1_Click(); });
    connect(imgPage2, &PictureButton::Click, this, [this] { imgPage2_Click(); });
    connect(imgPicture, &PictureButton::Click, this, [this] { imgPicture_Click(); });
    connect(imgScreen, &PictureButton::Click, this, [this] { imgScreen_Click(); });
    connect(imgHelp, &PictureButton::Click, this, [this] { imgHelp_Click(); });
    connect(imgExit, &PictureButton::Click, this, [this] { imgExit_Click(); });
    connect(imgAdd, &PictureButton::Click, this, [this] { imgAdd_Click(); });
    connect(imgRemove, &PictureButton::Click, this, [this] { imgRemove_Click(); });
    connect(imgClear, &PictureButton::Click, this, [this] { imgClear_Click(); });
    connect(imgLock, &PictureButton::Click, this, [this] { imgLock_Click(); });

    connect(imgPage1, &PictureButton::MouseMove, this, [this] { imgPage1_MouseMove(); });
    connect(imgPage1, &PictureButton::MouseDown, this, [this] { imgPage1_MouseDown(); });
    connect(imgPage2, &PictureButton::MouseMove, this, [this] { imgPage2_MouseMove(); });
    connect(imgPage2, &PictureButton::MouseDown, this, [this] { imgPage2_MouseDown(); });
    connect(imgPicture, &PictureButton::MouseMove, this, [this] { imgPicture_MouseMove(); });
    connect(imgPicture, &PictureButton::MouseDown, this, [this] { imgPicture_MouseDown(); });
    connect(imgScreen, &PictureButton::MouseMove, this, [this] { imgScreen_MouseMove(); });
    connect(imgScreen, &PictureButton::MouseDown, this, [this] { imgScreen_MouseDown(); });
    connect(imgHelp, &PictureButton::MouseMove, this, [this] { imgHelp_MouseMove(); });
    connect(imgHelp, &PictureButton::MouseDown, this, [this] { imgHelp_MouseDown(); });
    connect(imgExit, &PictureButton::MouseMove, this, [this] { imgExit_MouseMove(); });
    connect(imgExit, &PictureButton::MouseDown, this, [this] { imgExit_MouseDown(); });
    connect(imgAdd, &PictureButton::MouseMove, this, [this] { imgAdd_MouseMove(); });
    connect(imgAdd, &PictureButton::MouseDown, this, [this] { imgAdd_MouseDown(); });
    connect(imgRemove, &PictureButton::MouseMove, this, [this] { imgRemove_MouseMove(); });
    connect(imgRemove, &PictureButton::MouseDown, this, [this] { imgRemove_MouseDown(); });
    connect(imgClear, &PictureButton::MouseMove, this, [this] { imgClear_MouseMove(); });
    connect(imgClear, &PictureButton::MouseDown, this, [this] { imgClear_MouseDown(); });
    connect(imgLock, &PictureButton::MouseMove, this, [this] { imgLock_MouseMove(); });
    connect(imgLock, &PictureButton::MouseDown, this, [this] { imgLock_MouseDown(); });

    for (int i = 0; i < 3; ++i) {
        connect(imgList[size_t(i)], &PictureButton::Click, this, &frmMain::imgList_Click);
        connect(imgList[size_t(i)], &PictureButton::MouseMove, this, &frmMain::imgList_MouseMove);
        connect(imgList[size_t(i)], &PictureButton::MouseDown, this, &frmMain::imgList_MouseDown);
        connect(imgNew[size_t(i)], &PictureButton::Click, this, &frmMain::imgNew_Click);
        connect(imgNew[size_t(i)], &PictureButton::MouseMove, this, &frmMain::imgNew_MouseMove);
        connect(imgNew[size_t(i)], &PictureButton::MouseDown, this, &frmMain::imgNew_MouseDown);
        connect(imgDelete[size_t(i)], &PictureButton::Click, this, &frmMain::imgDelete_Click);
        connect(imgDelete[size_t(i)], &PictureButton::MouseMove, this, &frmMain::imgDelete_MouseMove);
        connect(imgDelete[size_t(i)], &PictureButton::MouseDown, this, &frmMain::imgDelete_MouseDown);
    }
    for (int i = 0; i < 2; ++i) {
        connect(imgRosterScroll[size_t(i)], &PictureButton::Click, this, &frmMain::imgRosterScroll_Click);
        connect(imgRosterScroll[size_t(i)], &PictureButton::MouseMove, this, &frmMain::imgRosterScroll_MouseMove);
        connect(imgRosterScroll[size_t(i)], &PictureButton::MouseDown, this, &frmMain::imgRosterScroll_MouseDown);
    }
    for (int i = 0; i < 8; ++i) {
        connect(lblRosterEntry[size_t(i)], &Label::Click, this, &frmMain::lblRosterEntry_Click);
        connect(lblRosterEntry[size_t(i)], &Label::DblClick, this, &frmMain::lblRosterEntry_DblClick);
    }
    for (int i = 0; i <= 10; ++i) connect(lblStatLabel[size_t(i)], &Label::DblClick, this, &frmMain::lblStatLabel_DblClick);
    for (int i = 0; i <= 20; ++i) {
        connect(txtStatText[size_t(i)], &TextBox::GotFocus, this, &frmMain::txtStatText_GotFocus);
        connect(txtStatText[size_t(i)], &TextBox::KeyPress, this, &frmMain::txtStatText_KeyPress);
        connect(txtStatText[size_t(i)], &TextBox::LostFocus, this, &frmMain::txtStatText_LostFocus);
    }
    connect(lblName, &Label::DblClick, this, [this] { lblName_DblClick(); });
    connect(lblCategory, &Label::DblClick, this, [this] { lblCategory_DblClick(); });
    connect(picPicture, &PictureBox::DblClick, this, &frmMain::picPicture_DblClick);
    connect(lblNoPicAvail, &Label::DblClick, this, [this] { lblNoPicAvail_DblClick(); });
    connect(lstCategory, &ListBox::Click, this, &frmMain::lstCategory_Click);
    connect(lstCreature, &ListBox::Click, this, &frmMain::lstCreature_Click);
    connect(lstRoster, &ListBox::Click, this, &frmMain::lstRoster_Click);
}

bool frmMain::eventFilter(QObject* obj, QEvent* ev) {
    if (ev->type() == QEvent::KeyPress && obj->isWidgetType()) {
        auto* w = static_cast<QWidget*>(obj);
        // Only keys bound for this window (not for a modal dialog above it),
        // and each key once: the event also passes through the parents.
        QWidget* target = QApplication::focusWidget() ? QApplication::focusWidget() : this;
        if (w->window() == this && w == target) {
            auto* ke = static_cast<QKeyEvent*>(ev);
            int shift = 0;
            if (ke->modifiers() & Qt::ShiftModifier) shift |= 1;
            if (ke->modifiers() & Qt::ControlModifier) shift |= 2;
            if (ke->modifiers() & Qt::AltModifier) shift |= 4;
            int code = ke->key();
            if (code >= Qt::Key_F1 && code <= Qt::Key_F24) code = 112 + (code - Qt::Key_F1);
            Form_KeyDown(code, shift);
        }
    }
    return Form::eventFilter(obj, ev);
}

void frmMain::showEvent(QShowEvent* e) {
    if (!m_bCentred && !e->spontaneous()) {
        m_bCentred = true;
        centreOnScreen();
    }
    Form::showEvent(e);
}

void frmMain::closeEvent(QCloseEvent* e) {
    // Any closing other than the Exit button: save and end like Exit.
    e->accept();
    Form_Unload();
}
