#pragma once
#include <QByteArray>
#include <QIcon>
#include <QObject>
#include <QPointer>
#include <QString>
#include <QSystemTrayIcon>
#include <QWidget>
#include <cstdint>

// A picture as the program hands it around: its classic picture type and the
// image. Only an icon (type 3) can go into the notification area.
struct TrayPicture {
    static constexpr std::int16_t kNone = 0;
    static constexpr std::int16_t kBitmap = 1;
    static constexpr std::int16_t kIcon = 3;

    std::int16_t Type = kNone;
    QIcon Image;

    static TrayPicture FromIcon(const QIcon &icon) { return {kIcon, icon}; }
    static TrayPicture FromBitmap(const QPixmap &bitmap) { return {kBitmap, QIcon(bitmap)}; }
};

// One icon with a tool tip in the desktop's notification area, shown while
// the object is "shown" (Create to Destroy). The shell's mouse messages for
// the icon arrive as TrayMessage(icon id, mouse message).
//
// On a desktop without a notification area (and on the offscreen platform)
// Create still succeeds and keeps the record, traces "Area di notifica non
// disponibile: icona non mostrata" and puts no icon anywhere:
// the transfer windows create one whenever they open a port, and that must
// never stop a transfer.
class CTrayIcon : public QObject {
    Q_OBJECT
public:
    // Notification record flags.
    static constexpr std::int32_t kFlagMessage = 1;
    static constexpr std::int32_t kFlagIcon = 2;
    static constexpr std::int32_t kFlagTip = 4;
    static constexpr int kTipBytes = 64;

    // Mouse messages handed as the second value of TrayMessage.
    static constexpr std::int32_t kMouseMove = 0x200;
    static constexpr std::int32_t kLeftButtonUp = 0x202;
    static constexpr std::int32_t kLeftButtonDoubleClick = 0x203;
    static constexpr std::int32_t kRightButtonUp = 0x205;
    static constexpr std::int32_t kMiddleButtonUp = 0x208;

    explicit CTrayIcon(QObject *parent = nullptr);
    ~CTrayIcon() override;

    // Shows the icon for owner. A null owner raises the system error 6, a
    // picture that is not an icon the system error 13 (both through
    // RaiseApiError); nothing is shown then. The tip keeps at most 63
    // characters (the record's 64 bytes end with a NUL).
    void Create(QWidget *owner, const TrayPicture &icon, QString &tip);
    // Removes the icon (also run on destruction).
    void Destroy();

    // The number registered for this object: icon id and callback message.
    std::int32_t Message() const { return m_Message; }
    std::int32_t ID() const { return m_Message; }
    std::int32_t OldProc() const { return 0; }

    // The record's 64 tip bytes as text, NUL characters included.
    QString Tip() const;
    // Changes the tip of a shown icon; does nothing while none is shown.
    void SetTip(const QString &text);
    TrayPicture Icon() const { return m_Picture; }
    // Changes the icon of a shown icon when the picture is an icon; does
    // nothing otherwise.
    void SetIcon(const TrayPicture &picture);

    // The record's flags of the last shell call (1 message, 2 icon, 4 tip).
    std::int32_t Flags() const { return m_Flags; }
    // True while an icon is really in the notification area.
    bool InNotificationArea() const { return m_Tray != nullptr; }

signals:
    void TrayMessage(std::int32_t wParam, std::int32_t lParam);

private:
    std::int32_t WindowProc(std::int32_t message, std::int32_t wParam, std::int32_t lParam);
    void onActivated(QSystemTrayIcon::ActivationReason reason);
    void shellModify();
    static std::int32_t registerMessage(const QString &name);

    TrayPicture m_Picture;
    QPointer<QWidget> m_Owner;
    bool m_Shown = false;
    std::int32_t m_Message = 0;
    std::int32_t m_Flags = 0;
    QByteArray m_TipBytes;
    QSystemTrayIcon *m_Tray = nullptr;
};
