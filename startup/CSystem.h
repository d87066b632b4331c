#pragma once
#include <QString>
#include <cstdint>

// Facts about the machine the program runs on, written at the head of the
// trace file. The operating-system and processor facts are read once, when
// the object is created; memory, folders, user and machine are read anew at
// every access. Memory figures are in KB and clamped to the 32-bit range.
//
// Where each fact comes from on Linux:
//   IsWindows9x / IsWindowsNT     always false / true
//   Free/TotalPhysicalMemory      /proc/meminfo MemAvailable, MemTotal
//   Free/TotalVirtualMemory       the process's address space (RLIMIT_AS,
//                                 else 128 TiB of 64-bit user space) minus
//                                 VmSize of /proc/self/status
//   Free/TotalPageFile            /proc/meminfo SwapFree, SwapTotal
//   MemoryLoad                    (MemTotal - MemAvailable) * 100 / MemTotal
//   WinMajor, WinMinor            the kernel release (uname): "6.1.0-18-amd64"
//                                 gives 6 and 1
//   Processor                     "model name" of /proc/cpuinfo (other
//                                 architectures: "Processor", "cpu model",
//                                 "Hardware", "cpu"), else the architecture
//   ProcessorCount                sysconf(_SC_NPROCESSORS_ONLN)
//   OSName                        QSysInfo::prettyProductName() (os-release)
//   WindowsDir                    "/usr"
//   SystemDir                     the folder the C library was loaded from
//                                 (dladdr), e.g. /usr/lib/x86_64-linux-gnu
//   User                          getpwuid(geteuid()), empty on failure
//   Machine                       gethostname, in full, empty on failure
class CSystem {
public:
    CSystem();

    bool IsWindows9x() const { return false; }
    bool IsWindowsNT() const { return !IsWindows9x(); }
    std::int32_t FreePhysicalMemory() const;
    std::int32_t TotalPhysicalMemory() const;
    std::int32_t FreeVirtualMemory() const;
    std::int32_t TotalVirtualMemory() const;
    std::int32_t FreePageFile() const;
    std::int32_t TotalPageFile() const;
    std::int32_t MemoryLoad() const;
    std::int16_t WinMajor() const { return m_Major; }
    std::int16_t WinMinor() const { return m_Minor; }
    QString Processor() const { return m_Processor; }
    QString ProcessorCount() const { return m_ProcessorCount; }
    QString OSName() const { return m_OSName; }
    QString WindowsDir() const;
    QString SystemDir() const;
    QString User() const;
    QString Machine() const;

private:
    std::int16_t m_Major = 0;
    std::int16_t m_Minor = 0;
    QString m_Processor;
    QString m_ProcessorCount;
    QString m_OSName;
};

namespace csystem_detail {
// Parsers of the kernel's text files, kept apart so they can be checked on
// fixed input. A missing key gives -1.
std::int64_t MemInfoKB(const QByteArray &meminfo, const char *key);
QString ProcessorModel(const QByteArray &cpuinfo);
// Clamps a KB figure to 0 .. INT32_MAX.
std::int32_t ClampKB(std::int64_t kb);
} // namespace csystem_detail
