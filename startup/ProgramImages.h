#pragma once
#include <QPixmap>

// The two pictures the splash and the about window show.

// The program's image: the front of a panel meter with its digits.
QPixmap ApplicationImage();
// The maker's logo: a plain emblem without lettering.
QPixmap MakerLogo();
