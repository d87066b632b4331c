#pragma once
#include <QIcon>
#include <QPixmap>
#include <cstdint>

// The two pictures the splash and the about window show.

// The program's image: the front of a panel meter with its digits.
QPixmap ApplicationImage();
// The maker's logo: a plain emblem without lettering.
QPixmap MakerLogo();

// The program's icons by resource id: 10001 the serial connection, 10002
// the telephone connection (shown in the notification area while a
// connection is open). Any other id gives a null icon.
QIcon ProgramIcon(std::int32_t id);
