#pragma once
// The windows' background pictures and the program's icon. Each background is
// drawn around the places where its window's controls sit, so labels on a
// transparent background stay readable and buttons sit in their own grooves.
#include <QImage>

namespace art {

QImage MainBackground();         // the main window, 640 x 460
QImage RosterPanelBackground();  // the roster panel, 245 x 133
QImage AreYouSureBackground();   // the confirmation dialog, 200 x 125
QImage InputBoxBackground();     // the text-prompt dialog, 330 x 125
QImage SplashBackground();       // the splash and about window, 480 x 340
QImage Icon(int size);           // the program's icon, size x size, with transparency

}  // namespace art
