#include "support/main_window_fixture.h"

#include <QApplication>
#include <QHash>
#include <QKeyEvent>
#include <QLineEdit>
#include <QListWidgetItem>
#include <QPlainTextEdit>
#include <QStyleHints>
#include <QTest>
#include <QtTest/qtestspontaneevent.h>
#include <QTimer>

#include "frame/geometry.h"
#include "frame/startup.h"
#include "mainwindow/program_start.h"
#include "platform/file_chooser.h"
#include "support/msgbox_recorder.h"

namespace {
// Stands in for the window manager, which the offscreen platform lacks: when a
// window that has a parent window (a dialog, the file chooser, the about box)
// closes, the parent window becomes active again and gets its focus back.
class WindowManagerStandIn : public QObject {
public:
    WindowManagerStandIn() { qApp->installEventFilter(this); }
    ~WindowManagerStandIn() override { qApp->removeEventFilter(this); }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() != QEvent::Hide || !watched->isWidgetType()) return false;
        auto* closing = static_cast<QWidget*>(watched);
        if (!closing->isWindow() || !closing->parentWidget()) return false;
        QPointer<QWidget> parent = closing->parentWidget()->window();
        QTimer::singleShot(0, this, [parent] {
            if (!parent || !parent->isVisible()) return;
            QWidget* modal = QApplication::activeModalWidget();
            if (!modal || modal == parent) parent->activateWindow();
        });
        return false;
    }
};
}  // namespace

void MainWindowFixture::SetUp() {
    m_windowManager = std::make_unique<WindowManagerStandIn>();
    InitTwipsPerPixel();
    glStartCreatureID = 0;
    giStartupDone = 1;
    m_endProgramCalls = 0;
    frmMain::SetEndProgram([this] { ++m_endProgramCalls; });
    MsgBoxRecorder::clear();
}

void MainWindowFixture::TearDown() {
    DestroyMainWindow();
    m_windowManager.reset();
    frmMain::SetEndProgram({});
    SetFileChooser({});
    glStartCreatureID = 0;
    m_folder.reset();
}

ProgramFolder& MainWindowFixture::UseFolder(ProgramFolder::Content content) {
    EXPECT_EQ(m_folder, nullptr) << "the program folder is made once";
    m_folder = std::make_unique<ProgramFolder>(content);
    return *m_folder;
}

ProgramFolder& MainWindowFixture::Folder() {
    if (!m_folder) m_folder = std::make_unique<ProgramFolder>(ProgramFolder::Content::Empty);
    return *m_folder;
}

frmMain* MainWindowFixture::StartMainWindow(qint32 lStartCreatureID) {
    glStartCreatureID = lStartCreatureID;
    m_window = std::make_unique<frmMain>(programDir());
    m_window->Form_Load();
    m_window->show();
    return WaitUntilShown();
}

frmMain* MainWindowFixture::LaunchProgram(const QStringList& arguments) {
    QPointer<QTimer> splashWatch;
    if (arguments.isEmpty()) splashWatch = WhenModalShown([](QWidget* splash) { QTest::mouseClick(splash, Qt::LeftButton); });
    const bool bStarted = StartProgram(programDir(), QStringList{QStringLiteral("ostravell")} + arguments, m_window);
    EXPECT_TRUE(bStarted) << "the program found another instance running";
    StopWatching(splashWatch);
    if (!m_window) {
        ADD_FAILURE() << "the program showed no main window";
        return nullptr;
    }
    return WaitUntilShown();
}

frmMain* MainWindowFixture::WaitUntilShown() {
    m_window->activateWindow();
    EXPECT_TRUE(QTest::qWaitForWindowExposed(m_window.get()));
    EXPECT_TRUE(QTest::qWaitForWindowActive(m_window.get()));
    m_window->txtStatText[0]->setFocus();
    QApplication::processEvents();
    return m_window.get();
}

void MainWindowFixture::DestroyMainWindow() {
    m_window.reset();
    QApplication::processEvents();
}

namespace {
QPoint centreOf(QWidget* widget, std::optional<QPoint> pos) { return pos ? *pos : widget->rect().center(); }

QWidget* editorOf(TextBox* box) { return box->editor() ? box->editor() : box; }

// The widget that a real pointer at p (in widget's coordinates) would hit: the
// topmost visible child there, as the window system delivers the event. p is
// turned into that widget's coordinates.
QWidget* underPointer(QWidget* widget, QPoint* p) {
    QWidget* child = widget->childAt(*p);
    if (!child) return widget;
    *p = child->mapFrom(widget, *p);
    return child;
}
}  // namespace

namespace {
// Moves the pointer to the point and clicks (once or twice) whatever lies on top there.
void ClickOnTop(QWidget* widget, std::optional<QPoint> pos, bool bDouble) {
    ASSERT_NE(widget, nullptr);
    QPoint p = centreOf(widget, pos);
    QWidget* target = underPointer(widget, &p);
    QTest::mouseMove(target, p);
    if (bDouble) QTest::mouseDClick(target, Qt::LeftButton, Qt::NoModifier, p);
    else QTest::mouseClick(target, Qt::LeftButton, Qt::NoModifier, p);
    QApplication::processEvents();
}
}  // namespace

void MainWindowFixture::Click(QWidget* widget, std::optional<QPoint> pos) { ClickOnTop(widget, pos, false); }

void MainWindowFixture::DoubleClick(QWidget* widget, std::optional<QPoint> pos) { ClickOnTop(widget, pos, true); }

void MainWindowFixture::ClickListItem(ListBox* list, int row) {
    ASSERT_NE(list, nullptr);
    ASSERT_TRUE(list->isVisible()) << "the list must be open to pick an item";
    ASSERT_GE(row, 0);
    ASSERT_LT(row, list->count());
    QListWidgetItem* item = list->item(row);
    list->scrollToItem(item);
    const QPoint p = list->visualItemRect(item).center();
    QTest::mouseClick(list->viewport(), Qt::LeftButton, Qt::NoModifier, p);
    QApplication::processEvents();
}

void MainWindowFixture::Pick(int iList, const QString& text) {
    ListBox* const lists[] = {w()->lstCreature, w()->lstCategory, w()->lstRoster};
    ListBox* list = lists[iList];
    Click(w()->imgList[size_t(iList)]);
    const int row = RowOf(list, text);
    ASSERT_GE(row, 0) << "no item " << text.toStdString();
    ClickListItem(list, row);
}

int MainWindowFixture::RowOf(const ListBox* list, const QString& text) {
    for (int i = 0; i < list->ListCount(); ++i)
        if (list->List(i) == text) return i;
    return -1;
}

void MainWindowFixture::FocusBox(TextBox* box) {
    editorOf(box)->setFocus(Qt::MouseFocusReason);
    QApplication::processEvents();
}

void MainWindowFixture::Type(TextBox* box, const QString& text) {
    QTest::keyClicks(editorOf(box), text);
    QApplication::processEvents();
}

void MainWindowFixture::PressKey(Qt::Key key, Qt::KeyboardModifiers modifiers) {
    QWidget* target = QApplication::focusWidget();
    if (!target) target = m_window.get();
    QTest::keyClick(target, key, modifiers);
    QApplication::processEvents();
}

QPointer<QTimer> MainWindowFixture::WhenModalShown(std::function<void(QWidget* dialog)> fn) {
    auto* timer = new QTimer(qApp);
    timer->setInterval(10);
    auto remaining = std::make_shared<int>(1000);  // give up after about ten seconds
    QObject::connect(timer, &QTimer::timeout, timer, [timer, fn, remaining] {
        QWidget* dialog = QApplication::activeModalWidget();
        if (!dialog) {
            if (--*remaining <= 0) {
                ADD_FAILURE() << "no modal window came up";
                timer->deleteLater();
            }
            return;
        }
        timer->stop();
        timer->deleteLater();
        fn(dialog);
    });
    timer->start();
    return timer;
}

void MainWindowFixture::StopWatching(const QPointer<QTimer>& watch) {
    if (watch) {
        watch->stop();
        delete watch.data();
    }
}

void MainWindowFixture::ClickChild(QWidget* dialog, const char* name) {
    auto* child = dialog->findChild<QWidget*>(QLatin1String(name));
    if (!child) {
        ADD_FAILURE() << "the modal window has no control " << name;
        dialog->close();
        return;
    }
    const QPoint p = child->rect().center();
    QTest::mouseMove(child, p);
    QTest::mouseClick(child, Qt::LeftButton, Qt::NoModifier, p);
}

QPointer<QTimer> MainWindowFixture::AnswerInputBox(std::optional<QString> answer, QStringList* shown) {
    return WhenModalShown([answer, shown](QWidget* dialog) {
        QWidget* input = dialog->findChild<QWidget*>(QStringLiteral("txtInput"));
        QWidget* editor = nullptr;
        if (auto* box = qobject_cast<TextBox*>(input)) editor = editorOf(box);
        else editor = input;
        if (shown) {
            auto* instructions = dialog->findChild<Label*>(QStringLiteral("lblInstructions"));
            shown->clear();
            *shown << (instructions ? instructions->caption() : QString());
            if (auto* box = qobject_cast<TextBox*>(input)) *shown << box->text();
            else if (auto* line = qobject_cast<QLineEdit*>(input)) *shown << line->text();
        }
        if (!answer) {
            ClickChild(dialog, "imgCancel");
            return;
        }
        if (!editor) {
            ADD_FAILURE() << "the text prompt has no text box";
            ClickChild(dialog, "imgCancel");
            return;
        }
        // The initial text is selected: typing replaces it, Backspace removes it.
        QTest::keyClick(editor, Qt::Key_Backspace);
        QTest::keyClicks(editor, *answer);
        ClickChild(dialog, "imgOK");
    });
}

QPointer<QTimer> MainWindowFixture::AnswerAreYouSure(bool yes) {
    return WhenModalShown([yes](QWidget* dialog) { ClickChild(dialog, yes ? "imgYes" : "imgNo"); });
}

QStringList MainWindowFixture::MsgBoxTitles() { return MsgBoxRecorder::titles(); }

QStringList MainWindowFixture::MsgBoxPrompts() {
    QStringList prompts;
    for (const auto& m : MsgBoxRecorder::shown()) prompts << m.prompt;
    return prompts;
}

void MainWindowFixture::ClearMsgBoxes() { MsgBoxRecorder::clear(); }

void MainWindowFixture::WithoutQuestion(const std::function<void()>& fn) {
    QTimer poll;
    poll.setInterval(10);
    bool asked = false;
    QObject::connect(&poll, &QTimer::timeout, [&] {
        if (QWidget* d = QApplication::activeModalWidget()) {
            asked = true;
            d->close();
        }
    });
    poll.start();
    fn();
    poll.stop();
    EXPECT_FALSE(asked) << "a question came up";
}

namespace {
int DoubleClickInterval() { return QGuiApplication::styleHints()->mouseDoubleClickInterval(); }

// The window that a press on the spot reaches: an open pop-up, which has the
// pointer wherever it lies; a modal window over the spot; else the other
// top-level window there (which a modal window blocks).
QWindow* WindowOnTopAt(QPoint spot) {
    if (QWidget* popup = QApplication::activePopupWidget()) return popup->windowHandle();
    QWidget* modal = QApplication::activeModalWidget();
    if (modal && modal->frameGeometry().contains(spot)) return modal->windowHandle();
    for (QWidget* top : QApplication::topLevelWidgets())
        if (top != modal && top->isVisible() && top->frameGeometry().contains(spot)) return top->windowHandle();
    return nullptr;
}

// A click of the primary button on the spot (global) whose press comes at
// that time, handed by the window system to the window on top there.
void ClickAt(QPoint spot, int time) {
    QWindow* window = WindowOnTopAt(spot);
    if (!window) {
        ADD_FAILURE() << "no window at the spot of the click";
        return;
    }
    const QPointF local = window->mapFromGlobal(spot);
    qt_handleMouseEvent(window, local, spot, Qt::LeftButton, Qt::LeftButton, QEvent::MouseButtonPress, {}, time);
    qt_handleMouseEvent(window, local, spot, Qt::NoButton, Qt::LeftButton, QEvent::MouseButtonRelease, {}, time + 20);
}
}  // namespace

bool MainWindowFixture::FirstClickOfADoubleClick(QWidget* window, QWidget* button, QPoint spot) {
    window->move(window->pos() + spot - button->mapToGlobal(button->rect().center()));
    QApplication::processEvents();
    EXPECT_TRUE(QTest::qWaitForWindowExposed(window));
    s_firstPressAt = int(QTest::lastMouseTimestamp) + 10 * DoubleClickInterval();
    // The test's own clicks afterwards begin runs of their own.
    QTest::lastMouseTimestamp = s_firstPressAt + 10 * DoubleClickInterval();
    ClickAt(spot, s_firstPressAt);
    const bool bClosed = !window->isVisible();
    if (!bClosed) window->close();
    return bClosed;
}

void MainWindowFixture::SecondPressAt(QPoint spot) {
    ClickAt(spot, s_firstPressAt + DoubleClickInterval() / 4);
    QApplication::processEvents();
}

void MainWindowFixture::ClickRun(QPoint spot, int clicks) {
    const int interval = DoubleClickInterval();
    const int start = int(QTest::lastMouseTimestamp) + 10 * interval;
    // The test's own clicks afterwards begin runs of their own.
    QTest::lastMouseTimestamp = start + (clicks + 10) * interval;
    s_clickRunLeft = clicks;
    for (int i = 0; i < clicks; ++i) {
        QTimer::singleShot(0, qApp, [spot, time = start + i * interval / 4] {
            // Counted first: a click that opens a modal window returns only when it closes.
            --s_clickRunLeft;
            ClickAt(spot, time);
        });
    }
    EXPECT_TRUE(WaitForClickRun()) << "the clicks were not all delivered";
    QApplication::processEvents();
}

bool MainWindowFixture::WaitForClickRun() { return QTest::qWaitFor([] { return ClickRunDone(); }, 10000); }

void MainWindowFixture::KeyAt(QWidget* widget, QEvent::Type type, Qt::Key key, const QString& text, quint64 time,
                              bool repeat) {
    // The keys' codes on an X server with an evdev keyboard.
    const QHash<int, quint32> xKeyCodes{{Qt::Key_Return, 36}, {Qt::Key_Space, 65}, {Qt::Key_X, 53}, {Qt::Key_Y, 29}};
    QKeyEvent event(type, key, Qt::NoModifier, xKeyCodes.value(key), 0, 0, text, repeat);
    event.setTimestamp(time);
    s_keyTime = qMax(s_keyTime, time);
    // Delivered as Qt delivers the window system's key events: to the window,
    // which hands it on to its control that has the focus.
    QSpontaneKeyEvent::setSpontaneous(&event);
    QWindow* window = widget->window()->windowHandle();
    if (!window) {
        ADD_FAILURE() << "the key's window is not shown";
        return;
    }
    qApp->notify(window, &event);
}

quint64 MainWindowFixture::NextKeyTime() {
    // Far beyond the times of the key events that Qt's test functions make,
    // which count from the start of the test program.
    constexpr quint64 start = 1'000'000'000;
    s_keyTime = qMax(s_keyTime, start) + 40;
    return s_keyTime;
}

void MainWindowFixture::KeyRepeats(QWidget* widget, Qt::Key key, const QString& text, int repeats) {
    widget->activateWindow();
    EXPECT_TRUE(QTest::qWaitForWindowActive(widget));
    for (int i = 0; i < repeats; ++i) {
        const quint64 time = NextKeyTime();
        const bool marked = i % 2 == 1;
        KeyAt(widget, QEvent::KeyRelease, key, text, time, marked);
        KeyAt(widget, QEvent::KeyPress, key, text, time, marked);
    }
    KeyAt(widget, QEvent::KeyRelease, key, text, NextKeyTime());
    QApplication::processEvents();
}
