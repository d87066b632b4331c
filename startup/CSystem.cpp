#include "CSystem.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSysInfo>

#include <dlfcn.h>
#include <pwd.h>
#include <sys/resource.h>
#include <unistd.h>

#include <algorithm>
#include <climits>
#include <cstdio>

namespace csystem_detail {

std::int64_t MemInfoKB(const QByteArray &meminfo, const char *key)
{
    const QByteArray wanted = QByteArray(key) + ':';
    for (const QByteArray &line : meminfo.split('\n')) {
        if (!line.startsWith(wanted))
            continue;
        // "MemTotal:       24682296 kB"
        const QList<QByteArray> parts = line.mid(wanted.size()).simplified().split(' ');
        if (parts.isEmpty())
            return -1;
        bool ok = false;
        const qlonglong value = parts.first().toLongLong(&ok);
        if (!ok || value < 0)
            return -1;
        // Every figure of /proc/meminfo is in kB; a line without unit is a
        // page count we do not use.
        return (parts.size() > 1 && parts[1] == "kB") ? value : -1;
    }
    return -1;
}

QString ProcessorModel(const QByteArray &cpuinfo)
{
    // x86 names the model "model name"; other architectures use other keys.
    static const char *const keys[] = {"model name", "Processor", "cpu model", "Hardware", "cpu"};
    const QList<QByteArray> lines = cpuinfo.split('\n');
    for (const char *key : keys) {
        for (const QByteArray &line : lines) {
            const qsizetype colon = line.indexOf(':');
            if (colon <= 0 || line.left(colon).trimmed() != key)
                continue;
            const QByteArray value = line.mid(colon + 1).trimmed();
            if (!value.isEmpty())
                return QString::fromUtf8(value);
        }
    }
    return QString();
}

std::int32_t ClampKB(std::int64_t kb)
{
    return static_cast<std::int32_t>(std::clamp<std::int64_t>(kb, 0, INT32_MAX));
}

} // namespace csystem_detail

namespace {

using csystem_detail::ClampKB;
using csystem_detail::MemInfoKB;

QByteArray readProcFile(const QString &path)
{
    // /proc files report size 0, so read until the end instead of by size.
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly))
        return QByteArray();
    return f.readAll();
}

std::int64_t memInfo(const char *key)
{
    return MemInfoKB(readProcFile(QStringLiteral("/proc/meminfo")), key);
}

// The address space a process may use: the limit set for it, or else what the
// architecture gives user space.
std::int64_t addressSpaceKB()
{
    rlimit limit{};
    if (getrlimit(RLIMIT_AS, &limit) == 0 && limit.rlim_cur != RLIM_INFINITY)
        return static_cast<std::int64_t>(limit.rlim_cur / 1024);
    if (sizeof(void *) == 8)
        return std::int64_t{1} << (47 - 10); // 128 TiB of user space on x86-64 and AArch64
    return std::int64_t{3} << 20;            // 3 GiB on a 32-bit kernel
}

std::int64_t processSizeKB()
{
    const QByteArray status = readProcFile(QStringLiteral("/proc/self/status"));
    return MemInfoKB(status, "VmSize");
}

} // namespace

CSystem::CSystem()
{
    // The kernel's version stands for the Windows version: "6.1.0-18-amd64"
    // gives 6 and 1.
    const QStringList release = QSysInfo::kernelVersion().split(QLatin1Char('.'));
    auto leadingNumber = [](const QString &s) {
        qsizetype n = 0;
        while (n < s.size() && s[n].isDigit())
            ++n;
        return static_cast<std::int16_t>(std::min(s.left(n).toInt(), 32767));
    };
    if (!release.isEmpty())
        m_Major = leadingNumber(release.value(0));
    if (release.size() > 1)
        m_Minor = leadingNumber(release.value(1));

    m_Processor = csystem_detail::ProcessorModel(readProcFile(QStringLiteral("/proc/cpuinfo")));
    if (m_Processor.isEmpty())
        m_Processor = QSysInfo::currentCpuArchitecture();
    const long cpus = sysconf(_SC_NPROCESSORS_ONLN);
    m_ProcessorCount = QString::number(cpus > 0 ? cpus : 1);
    m_OSName = QSysInfo::prettyProductName();
}

std::int32_t CSystem::FreePhysicalMemory() const
{
    return ClampKB(memInfo("MemAvailable"));
}
std::int32_t CSystem::TotalPhysicalMemory() const
{
    return ClampKB(memInfo("MemTotal"));
}

std::int32_t CSystem::TotalVirtualMemory() const
{
    return ClampKB(addressSpaceKB());
}

std::int32_t CSystem::FreeVirtualMemory() const
{
    const std::int64_t used = processSizeKB();
    return ClampKB(addressSpaceKB() - std::max<std::int64_t>(used, 0));
}

std::int32_t CSystem::FreePageFile() const
{
    return ClampKB(memInfo("SwapFree"));
}
std::int32_t CSystem::TotalPageFile() const
{
    return ClampKB(memInfo("SwapTotal"));
}

std::int32_t CSystem::MemoryLoad() const
{
    const QByteArray meminfo = readProcFile(QStringLiteral("/proc/meminfo"));
    const std::int64_t total = MemInfoKB(meminfo, "MemTotal");
    const std::int64_t avail = MemInfoKB(meminfo, "MemAvailable");
    if (total <= 0 || avail < 0)
        return 0;
    const std::int64_t used = std::clamp<std::int64_t>(total - avail, 0, total);
    return static_cast<std::int32_t>(used * 100 / total);
}

QString CSystem::WindowsDir() const
{
    // The operating system's own files.
    return QStringLiteral("/usr");
}

QString CSystem::SystemDir() const
{
    // The folder of the system's shared libraries: where the C library the
    // program runs on was loaded from.
    Dl_info info{};
    if (dladdr(reinterpret_cast<void *>(&std::fopen), &info) != 0 && info.dli_fname)
        return QFileInfo(QString::fromLocal8Bit(info.dli_fname)).canonicalPath();
    return QStringLiteral("/usr/lib");
}

QString CSystem::User() const
{
    const passwd *pw = getpwuid(geteuid());
    if (pw && pw->pw_name)
        return QString::fromLocal8Bit(pw->pw_name);
    return QString();
}

QString CSystem::Machine() const
{
    char name[256] = {};
    if (gethostname(name, sizeof name - 1) != 0)
        return QString();
    return QString::fromLocal8Bit(name);
}
