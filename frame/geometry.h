#pragma once
// Pixel geometry: every window and control is placed from a table of whole
// pixels, converted to twips (1/1440 inch) with the screen's factors.
#include <QString>
#include <QtGlobal>
#include <functional>

class QWidget;
class Form;

// Twips per screen pixel, read once at start by InitTwipsPerPixel.
extern qint32 glTwipsPerPixelX;
extern qint32 glTwipsPerPixelY;

// Nearest whole number, halves to the even neighbour (2.5 -> 2, 3.5 -> 4).
double RoundHalfEven(double v);

// Reads the primary screen's factors: 1440 / logical dots per inch, rounded
// half to even (96 dpi gives 15, 120 dpi gives 12).
void InitTwipsPerPixel();

// Places and sizes a control: Left, Top, Width and Height become the pixel
// values times the factors, in twips.
void MoveControlPx(QWidget* control, qint32 left, qint32 top, qint32 width, qint32 height);

// Places and sizes a window by its outer rectangle (frame included); a left or
// top of -1 leaves that coordinate as it is.
void MoveFormPx(Form* form, qint32 left, qint32 top, qint32 width, qint32 height);

// Sets a control's font size in whole points from a height in pixels:
// px x glTwipsPerPixelY / 20, rounded half to even.
void SetFontPx(QWidget* control, qint16 px);
qint16 FontPointsForPx(qint16 px, qint32 twipsPerPixelY);

// Every call of the three placement procedures can be reported to an
// observer, as "MoveFormPx name l t w h", "MoveControlPx name l t w h" or
// "SetFontPx name px" (name: the object's name). Used to check layouts.
using GeometryObserver = std::function<void(const QString& call)>;
void SetGeometryObserver(GeometryObserver observer);
