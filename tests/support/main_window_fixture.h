#pragma once
// A main window on a temporary program folder, driven through its real widgets.
//
// Each test gets its own program folder made by the database tool (Folder():
// an empty database unless the test asked for another with UseFolder() first),
// with the label settings file and the help text. StartMainWindow() creates
// frmMain on it, runs its start, shows it and puts the focus where the program
// puts it. Ending the program is replaced by a counter, the file chooser
// by whatever the test installs, and message boxes are recorded by the test main.
#include <gtest/gtest.h>

#include <QPoint>
#include <QPointer>
#include <QTimer>
#include <QString>
#include <QStringList>
#include <functional>
#include <memory>
#include <optional>
#include <ostream>

#include "mainwindow/main_window.h"
#include "support/program_folder.h"

// Test failures show texts as text.
inline void PrintTo(const QString& s, std::ostream* os) { *os << '"' << s.toStdString() << '"'; }

class MainWindowFixture : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;

    // Makes the program folder with that content (once, before Folder() is used).
    ProgramFolder& UseFolder(ProgramFolder::Content content);
    // The program folder; an empty database unless UseFolder() chose otherwise.
    ProgramFolder& Folder();
    QString programDir() { return Folder().dir(); }

    // Creates the window with that start creature (0: none), runs Form_Load,
    // shows it, waits until it is exposed and active, and gives txtStatText(0)
    // the focus, as the program's start does.
    frmMain* StartMainWindow(qint32 lStartCreatureID = 0);
    // Starts the whole program as its executable does, on the program folder,
    // with these command-line arguments after the program's name, and waits as
    // StartMainWindow does. With no arguments the start-up splash comes up
    // first; it is closed by a click, as the user closes it.
    frmMain* LaunchProgram(const QStringList& arguments = {});
    frmMain* w() const { return m_window.get(); }
    // Destroys the window (as the end of the program does).
    void DestroyMainWindow();
    // How often the program asked to end.
    int EndProgramCalls() const { return m_endProgramCalls; }

    // ---- user's hand (QTest events on the real widgets)
    // Mouse click in the middle of a widget (or at pos, in its coordinates),
    // delivered to whatever lies on top there (a child, a cover), as a real
    // pointer's click would be; events are processed afterwards.
    static void Click(QWidget* widget, std::optional<QPoint> pos = std::nullopt);
    static void DoubleClick(QWidget* widget, std::optional<QPoint> pos = std::nullopt);
    // Clicks a visible list's item by its row.
    static void ClickListItem(ListBox* list, int row);
    // Opens pop-up list iList (0 creatures, 1 categories, 2 rosters) with its
    // button and clicks the first item with this text.
    void Pick(int iList, const QString& text);
    // Row of the first item with this text, -1 when none.
    static int RowOf(const ListBox* list, const QString& text);
    // Gives a text box the keyboard focus (through the real focus machinery).
    static void FocusBox(TextBox* box);
    // Types characters into a text box that has the focus.
    static void Type(TextBox* box, const QString& text);
    // A key press with modifiers to whatever widget has the focus (or the window).
    void PressKey(Qt::Key key, Qt::KeyboardModifiers modifiers);

    // ---- modal windows
    // Runs fn on the next modal window once it is up (polled from a timer), so
    // that a handler which opens it with exec() can be answered. The watch
    // reports a failure when no modal window comes up within about ten seconds;
    // StopWatching() ends it early (for a test that expects none).
    static QPointer<QTimer> WhenModalShown(std::function<void(QWidget* dialog)> fn);
    static void StopWatching(const QPointer<QTimer>& watch);
    // Runs fn; a modal window that comes up meanwhile is a failure and is closed.
    static void WithoutQuestion(const std::function<void()>& fn);
    // Answers the next text prompt: types the text over the selected default and
    // clicks OK; std::nullopt clicks Cancel. prompt, when given, receives the
    // prompt and the initial text the dialog showed.
    static QPointer<QTimer> AnswerInputBox(std::optional<QString> answer, QStringList* shown = nullptr);
    // Answers the next "Are you sure?" with Yes or No.
    static QPointer<QTimer> AnswerAreYouSure(bool yes);
    // Clicks the named child of the modal window (its real button).
    static void ClickChild(QWidget* dialog, const char* name);
    // A double-click whose first click closes a modal window: moves the window
    // so that its button lies over spot (global), clicks the button through the
    // window system (which makes double-clicks of presses) and returns whether
    // that click closed it; a window left open is closed. SecondPressAt then
    // clicks the window on top at spot soon after, as the second press of the
    // same double-click.
    static bool FirstClickOfADoubleClick(QWidget* window, QWidget* button, QPoint spot);
    static void SecondPressAt(QPoint spot);
    // A run of clicks of the primary button on one spot of the screen, each
    // press a quarter of the double-click time after the one before (a
    // double-click, a triple-click, ...), each handed by the window system to
    // the window on top there: a modal window that lies over the spot, else
    // the main window. Every click comes from the event loop, so a window that
    // one click opens is up when the next arrives. Returns once every click
    // has been delivered; WaitForClickRun() lets a handler of a window that
    // stays open wait until then (false when ten seconds were not enough).
    static void ClickRun(QPoint spot, int clicks);
    static bool ClickRunDone() { return s_clickRunLeft == 0; }
    static bool WaitForClickRun();
    // A key event that the window system hands to the window (a widget's own
    // window) at that time of its clock, in milliseconds, marked by Qt as a
    // repeat or not. The event carries the key's code on an X server where
    // the test gives one (Return, Space, X, Y), as the xcb platform's events do.
    static void KeyAt(QWidget* window, QEvent::Type type, Qt::Key key, const QString& text, quint64 time,
                      bool repeat = false);
    // A time of that clock a little later than every key event sent so far.
    static quint64 NextKeyTime();
    // The repeats of a key held down, then the key's release, to the window,
    // which first becomes the active one as the desktop makes it when the
    // window above it closes. The X server sends each repeat as a release and
    // a press with one time; Qt marks the pair as a repeat only when the press
    // had already come as it handled the release, which on a busy machine it
    // often has not: every other pair comes unmarked, the first among them.
    static void KeyRepeats(QWidget* window, Qt::Key key, const QString& text, int repeats);

    // ---- messages
    static QStringList MsgBoxTitles();
    static QStringList MsgBoxPrompts();
    static void ClearMsgBoxes();

private:
    frmMain* WaitUntilShown();
    std::unique_ptr<ProgramFolder> m_folder;
    std::unique_ptr<QObject> m_windowManager;
    std::unique_ptr<frmMain> m_window;
    int m_endProgramCalls = 0;
    static inline int s_firstPressAt = 0;   // the time of FirstClickOfADoubleClick's press
    static inline int s_clickRunLeft = 0;   // clicks of ClickRun's run not yet delivered
    static inline quint64 s_keyTime = 0;    // the time of the last key event KeyAt sent
};
