#include "frame/modal_window.h"

#include <QMouseEvent>
#include <QPainter>

namespace {

// The edge of a raised dialog frame, outermost ring first: the top and left
// colour, the bottom and right colour. Inside them a ring of the face colour.
const QColor kFrameLight(192, 192, 192);
const QColor kFrameDarkShadow(0, 0, 0);
const QColor kFrameHighlight(255, 255, 255);
const QColor kFrameShadow(128, 128, 128);
const QColor kFrameFace(192, 192, 192);

void DrawRing(QPainter& p, const QRect& r, const QColor& topLeft, const QColor& bottomRight) {
    // Top and left lines stop one short of the far corners, which belong to
    // the bottom and right lines.
    p.fillRect(QRect(r.left(), r.top(), r.width() - 1, 1), topLeft);
    p.fillRect(QRect(r.left(), r.top(), 1, r.height() - 1), topLeft);
    p.fillRect(QRect(r.left(), r.bottom(), r.width(), 1), bottomRight);
    p.fillRect(QRect(r.right(), r.top(), 1, r.height()), bottomRight);
}

void DrawFixedSingleBorder(QPainter& p, const QRect& outer) {
    DrawRing(p, outer, kFrameLight, kFrameDarkShadow);
    DrawRing(p, outer.adjusted(1, 1, -1, -1), kFrameHighlight, kFrameShadow);
    DrawRing(p, outer.adjusted(2, 2, -2, -2), kFrameFace, kFrameFace);
}

}  // namespace

// ---------------------------------------------------------------- CaptionlessDialog

CaptionlessDialog::CaptionlessDialog(QWidget* parent) : Form(parent, CaptionlessDialogFlags()) {
    m_client = new QWidget(this);
    m_client->setObjectName(QStringLiteral("client"));
    // The client area's background passes its mouse events on to the window,
    // moves without a button included.
    m_client->setMouseTracking(true);
}

void CaptionlessDialog::FitCaptionlessFrame() {
    const QSize clientSize(width(), height() + Form::kCaptionPx);
    setFixedSize(clientSize.width() + 2 * kBorderPx, clientSize.height() + 2 * kBorderPx);
    m_client->setGeometry(kBorderPx, kBorderPx, clientSize.width(), clientSize.height());
}

void CaptionlessDialog::paintEvent(QPaintEvent*) {
    QPainter p(this);
    const QRect clientRect = m_client->geometry();
    if (!background().isNull()) {
        p.save();
        p.setClipRect(clientRect);
        p.drawPixmap(clientRect.topLeft(), background());
        p.restore();
    }
    DrawFixedSingleBorder(p, rect());
}

bool CaptionlessDialog::inClient(QPoint pos) const { return m_client->geometry().contains(pos); }

void CaptionlessDialog::mouseMoveEvent(QMouseEvent* e) {
    const QPoint pos = e->position().toPoint();
    if (inClient(pos)) emit MouseMove(pos - m_client->pos());
}

void CaptionlessDialog::mousePressEvent(QMouseEvent* e) {
    const QPoint pos = e->position().toPoint();
    m_pressed = e->button() == Qt::LeftButton && inClient(pos);
    if (inClient(pos)) emit MouseDown(pos - m_client->pos());
}

void CaptionlessDialog::mouseDoubleClickEvent(QMouseEvent* e) { mousePressEvent(e); }

void CaptionlessDialog::mouseReleaseEvent(QMouseEvent* e) {
    const bool wasPressed = m_pressed;
    m_pressed = false;
    if (wasPressed && inClient(e->position().toPoint())) emit Click();
}

Qt::WindowFlags CaptionlessDialogFlags() { return Qt::Dialog | Qt::FramelessWindowHint; }
