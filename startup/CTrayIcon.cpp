#include "CTrayIcon.h"

#include "CTraceCode.h"
#include "MBytes.h"
#include "MErrors.h"
#include "MUtility.h"

#include <QHash>

namespace {
constexpr std::int32_t kErrorInvalidHandle = 6;
constexpr std::int32_t kErrorInvalidData = 13;
constexpr std::int32_t kErrorNotEnoughMemory = 8;

// Message numbers are handed out once per name from the range the system
// keeps for registered messages.
constexpr std::int32_t kFirstRegisteredMessage = 0xC000;
constexpr std::int32_t kLastRegisteredMessage = 0xFFFF;
} // namespace

CTrayIcon::CTrayIcon(QObject *parent) : QObject(parent), m_TipBytes(kTipBytes, '\0') {}

CTrayIcon::~CTrayIcon()
{
    Destroy();
}

std::int32_t CTrayIcon::registerMessage(const QString &name)
{
    static QHash<QString, std::int32_t> registered;
    const auto found = registered.constFind(name);
    if (found != registered.constEnd())
        return found.value();
    const std::int32_t next = kFirstRegisteredMessage + static_cast<std::int32_t>(registered.size());
    if (next > kLastRegisteredMessage)
        return 0;
    registered.insert(name, next);
    return next;
}

void CTrayIcon::Create(QWidget *owner, const TrayPicture &icon, QString &tip)
{
    if (owner == nullptr)
        RaiseApiError(kErrorInvalidHandle);
    if (icon.Type != TrayPicture::kIcon)
        RaiseApiError(kErrorInvalidData);

    // The name is the object's address in hexadecimal, so each object has a
    // number of its own (and keeps it when created again).
    const QString name = QString::number(static_cast<qulonglong>(reinterpret_cast<quintptr>(this)), 16).toUpper();
    const std::int32_t message = registerMessage(name);
    if (message == 0)
        RaiseApiError(kErrorNotEnoughMemory);

    // A second Create replaces the icon shown so far.
    if (m_Shown)
        Destroy();

    m_Owner = owner;
    m_Message = message;
    m_Picture = icon;
    m_Flags = kFlagMessage | kFlagIcon | kFlagTip;
    // 63 characters at most, so the record's tip always ends with a NUL.
    QByteArray text(kTipBytes - 1, '\0');
    StrToBytes(text, tip);
    text.append('\0');
    m_TipBytes = text;
    m_Shown = true;

    if (!QSystemTrayIcon::isSystemTrayAvailable()) {
        g_Trace.BugMessage(QStringLiteral("Area di notifica non disponibile: icona non mostrata"));
        return;
    }
    m_Tray = new QSystemTrayIcon(this);
    m_Tray->setIcon(m_Picture.Image);
    m_Tray->setToolTip(StrZToStr(BytesToStr(m_TipBytes)));
    connect(m_Tray, &QSystemTrayIcon::activated, this, &CTrayIcon::onActivated);
    m_Tray->show();
}

void CTrayIcon::Destroy()
{
    if (m_Message == 0)
        return;
    if (m_Tray != nullptr) {
        m_Tray->disconnect(this);
        m_Tray->hide();
        delete m_Tray;
        m_Tray = nullptr;
    }
    m_Owner = nullptr;
    m_Shown = false;
}

QString CTrayIcon::Tip() const
{
    return BytesToStr(m_TipBytes);
}

void CTrayIcon::SetTip(const QString &text)
{
    if (!m_Shown)
        return;
    QString withNul = text + QChar(0);
    QByteArray bytes(kTipBytes - 1, '\0');
    StrToBytes(bytes, withNul);
    bytes.append('\0');
    m_TipBytes = bytes;
    m_Flags = kFlagTip;
    shellModify();
}

void CTrayIcon::SetIcon(const TrayPicture &picture)
{
    if (!m_Shown || picture.Type != TrayPicture::kIcon)
        return;
    m_Picture = picture;
    m_Flags = kFlagIcon;
    shellModify();
}

void CTrayIcon::shellModify()
{
    if (m_Tray == nullptr)
        return;
    if (m_Flags & kFlagIcon)
        m_Tray->setIcon(m_Picture.Image);
    if (m_Flags & kFlagTip)
        m_Tray->setToolTip(StrZToStr(BytesToStr(m_TipBytes)));
}

void CTrayIcon::onActivated(QSystemTrayIcon::ActivationReason reason)
{
    std::int32_t mouse = kMouseMove;
    switch (reason) {
    case QSystemTrayIcon::Trigger: mouse = kLeftButtonUp; break;
    case QSystemTrayIcon::DoubleClick: mouse = kLeftButtonDoubleClick; break;
    case QSystemTrayIcon::Context: mouse = kRightButtonUp; break;
    case QSystemTrayIcon::MiddleClick: mouse = kMiddleButtonUp; break;
    case QSystemTrayIcon::Unknown: break;
    }
    WindowProc(m_Message, m_Message, mouse);
}

std::int32_t CTrayIcon::WindowProc(std::int32_t message, std::int32_t wParam, std::int32_t lParam)
{
    g_Trace.BugAssert(message == m_Message);
    emit TrayMessage(wParam, lParam);
    return 0;
}
