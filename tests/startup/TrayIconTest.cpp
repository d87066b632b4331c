#include "CTrayIcon.h"
#include "MErrors.h"
#include "TraceCapture.h"

#include <QPixmap>
#include <QSystemTrayIcon>
#include <QWidget>
#include <gtest/gtest.h>

namespace {

QString padded(const QString &text)
{
    return text + QString(CTrayIcon::kTipBytes - text.size(), QChar(0));
}

TrayPicture anIcon()
{
    QPixmap pixmap(16, 16);
    pixmap.fill(Qt::blue);
    return TrayPicture::FromIcon(QIcon(pixmap));
}

} // namespace

// A refused Create raises the system error of its check and shows nothing:
// tip and icon changes afterwards do nothing.
TEST(TrayIcon, CreateChecksOwnerAndPictureType)
{
    QWidget owner;
    QPixmap bitmap(16, 16);
    struct Case {
        const char *what;
        QWidget *owner;
        TrayPicture picture;
        std::int32_t windowsCode;
    };
    const Case cases[] = {
        {"no owner window", nullptr, anIcon(), 6},
        {"bitmap picture", &owner, TrayPicture::FromBitmap(bitmap), 13},
        {"no picture", &owner, TrayPicture{}, 13},
    };
    for (const Case &c : cases) {
        CTrayIcon tray;
        QString tip = QStringLiteral("Pelvaro");
        try {
            tray.Create(c.owner, c.picture, tip);
            ADD_FAILURE() << c.what << ": no error raised";
        } catch (const ProgramError &e) {
            EXPECT_EQ(e.Number(), kObjectErrorBase + 29000 + c.windowsCode) << c.what;
            EXPECT_EQ(e.Source(), QStringLiteral("pelvaro.Windows")) << c.what;
        }
        EXPECT_EQ(tray.Message(), 0) << c.what;
        tray.SetTip(QStringLiteral("changed"));
        tray.SetIcon(anIcon());
        EXPECT_EQ(tray.Tip(), padded(QString())) << c.what;
        EXPECT_EQ(tray.Flags(), 0) << c.what;
        EXPECT_FALSE(tray.InNotificationArea()) << c.what;
    }
}

// Without a notification area (the offscreen platform) the icon is skipped
// with a trace line, and the object still behaves as a shown icon.
TEST(TrayIcon, WithoutNotificationAreaIconIsSkippedAndRecordKept)
{
    if (QSystemTrayIcon::isSystemTrayAvailable())
        GTEST_SKIP() << "this desktop has a notification area";
    TraceCapture trace;
    QWidget owner;
    CTrayIcon tray;
    QString tip = QStringLiteral("Pelvaro");
    ASSERT_NO_THROW(tray.Create(&owner, anIcon(), tip));

    EXPECT_EQ(trace.Lines(), QStringList{QStringLiteral("Area di notifica non disponibile: icona non mostrata")});
    EXPECT_FALSE(tray.InNotificationArea());
    EXPECT_GE(tray.Message(), 0xC000);
    EXPECT_EQ(tray.ID(), tray.Message());
    EXPECT_EQ(tray.OldProc(), 0);
    EXPECT_EQ(tray.Flags(), 7);
    EXPECT_EQ(tray.Tip(), padded(QStringLiteral("Pelvaro")));

    // Each object has a message number of its own.
    CTrayIcon other;
    QString otherTip;
    other.Create(&owner, anIcon(), otherTip);
    EXPECT_NE(other.Message(), tray.Message());

    // A bitmap does not replace the icon; an icon does.
    tray.SetIcon(TrayPicture::FromBitmap(QPixmap(8, 8)));
    EXPECT_EQ(tray.Flags(), 7);
    tray.SetIcon(anIcon());
    EXPECT_EQ(tray.Flags(), CTrayIcon::kFlagIcon);

    tray.SetTip(QStringLiteral("COM1"));
    EXPECT_EQ(tray.Flags(), CTrayIcon::kFlagTip);
    EXPECT_EQ(tray.Tip(), padded(QStringLiteral("COM1")));

    tray.Destroy();
    tray.SetTip(QStringLiteral("after destroy"));
    EXPECT_EQ(tray.Tip(), padded(QStringLiteral("COM1")));
}

// The record's tip keeps a terminating NUL: a long tip keeps 63 characters.
TEST(TrayIcon, LongTipKeepsItsBeginningAndATerminatingNul)
{
    QWidget owner;
    CTrayIcon tray;
    const QString longText = QString(100, QLatin1Char('x'));
    const QString expected = QString(63, QLatin1Char('x')) + QChar(0);

    QString tip = longText;
    tray.Create(&owner, anIcon(), tip);
    EXPECT_EQ(tray.Tip(), expected);

    tray.SetTip(QString(70, QLatin1Char('y')));
    EXPECT_EQ(tray.Tip(), QString(63, QLatin1Char('y')) + QChar(0));
    tray.SetTip(longText);
    EXPECT_EQ(tray.Tip(), expected);
}
