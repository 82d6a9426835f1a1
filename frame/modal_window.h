#pragma once
// The program's small windows (the two dialogs, the splash and about window):
// modal, without a caption, with a fixed single border, centred on the screen.
#include <QPoint>
#include <QSize>
#include <Qt>
#include <QtGlobal>

#include "platform/widgets.h"

// A window without a caption or control box. The window system gives such a
// window no frame at all, so it draws its own fixed single border (3 px, the
// raised edge of a dialog frame) around its client area. The window's size is
// its outer size; its controls are children of client() and placed from the
// client area's corner, and its background picture is drawn there. The
// window's MouseMove, MouseDown and Click come from the client area's
// background only, in client coordinates: the border is no part of it.
class CaptionlessDialog : public Form {
    Q_OBJECT
public:
    explicit CaptionlessDialog(QWidget* parent = nullptr);

    QWidget* client() const { return m_client; }

    // No frame of the window system's: the window's size is its outer size.
    QSize outerSizePx() const override { return size(); }

    // The border's width on each side.
    static constexpr int kBorderPx = Form::kFrameBorderPx;

protected:
    // After MoveFormPx gave the window the client size of a captioned window
    // of that outer size: takes the outer size itself, the client area inside
    // the border.
    void FitCaptionlessFrame();

    void paintEvent(QPaintEvent* e) override;
    void mouseMoveEvent(QMouseEvent* e) override;
    void mousePressEvent(QMouseEvent* e) override;
    void mouseDoubleClickEvent(QMouseEvent* e) override;
    void mouseReleaseEvent(QMouseEvent* e) override;

private:
    bool inClient(QPoint pos) const;

    QWidget* m_client;
    bool m_pressed = false;
};

// Window flags of such a window: a dialog without any frame of the window
// system's.
Qt::WindowFlags CaptionlessDialogFlags();
