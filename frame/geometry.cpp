#include "frame/geometry.h"

#include <QGuiApplication>
#include <QScreen>
#include <cfenv>
#include <cmath>

#include "platform/widgets.h"

qint32 glTwipsPerPixelX = 0;
qint32 glTwipsPerPixelY = 0;

namespace {
GeometryObserver& observer() {
    static GeometryObserver o;
    return o;
}
void report(const QString& call) {
    if (observer()) observer()(call);
}
}  // namespace

void SetGeometryObserver(GeometryObserver o) { observer() = std::move(o); }

double RoundHalfEven(double v) {
    const int old = std::fegetround();
    std::fesetround(FE_TONEAREST);
    const double r = std::nearbyint(v);
    std::fesetround(old);
    return r;
}

void InitTwipsPerPixel() {
    double dpiX = 96.0, dpiY = 96.0;
    if (const QScreen* s = QGuiApplication::primaryScreen()) {
        dpiX = s->logicalDotsPerInchX();
        dpiY = s->logicalDotsPerInchY();
    }
    glTwipsPerPixelX = qint32(RoundHalfEven(1440.0 / (dpiX > 0 ? dpiX : 96.0)));
    glTwipsPerPixelY = qint32(RoundHalfEven(1440.0 / (dpiY > 0 ? dpiY : 96.0)));
    if (glTwipsPerPixelX <= 0) glTwipsPerPixelX = 15;
    if (glTwipsPerPixelY <= 0) glTwipsPerPixelY = 15;
}

void MoveControlPx(QWidget* control, qint32 left, qint32 top, qint32 width, qint32 height) {
    report(QStringLiteral("MoveControlPx %1 %2 %3 %4 %5").arg(control->objectName()).arg(left).arg(top).arg(width).arg(height));
    const long tx = glTwipsPerPixelX, ty = glTwipsPerPixelY;
    SetTwipsGeometry(control, long(left) * tx, long(top) * ty, long(width) * tx, long(height) * ty, tx, ty);
}

void MoveFormPx(Form* form, qint32 left, qint32 top, qint32 width, qint32 height) {
    report(QStringLiteral("MoveFormPx %1 %2 %3 %4 %5").arg(form->objectName()).arg(left).arg(top).arg(width).arg(height));
    const double tx = glTwipsPerPixelX > 0 ? glTwipsPerPixelX : 15, ty = glTwipsPerPixelY > 0 ? glTwipsPerPixelY : 15;
    QPoint pos = form->pos();
    if (left != -1) pos.setX(int(std::lround(double(left) * tx / tx)));
    if (top != -1) pos.setY(int(std::lround(double(top) * ty / ty)));
    form->setOuterSizePx(int(std::lround(double(width) * tx / tx)), int(std::lround(double(height) * ty / ty)));
    if (left != -1 || top != -1) form->move(pos);
}

qint16 FontPointsForPx(qint16 px, qint32 twipsPerPixelY) {
    const qint32 twips = qint32(px) * twipsPerPixelY;
    return qint16(RoundHalfEven(double(twips) / 20.0));
}

void SetFontPx(QWidget* control, qint16 px) {
    report(QStringLiteral("SetFontPx %1 %2").arg(control->objectName()).arg(px));
    QFont f = control->font();
    const qint16 points = FontPointsForPx(px, glTwipsPerPixelY);
    if (points > 0) f.setPointSize(points);
    control->setFont(f);
}
