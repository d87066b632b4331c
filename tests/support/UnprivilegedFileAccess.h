#pragma once
#include <sys/fsuid.h>
#include <unistd.h>

// While it lives, this thread's file access is checked as for an ordinary
// user even when the process runs as root (who may write anywhere).
class UnprivilegedFileAccess {
public:
    UnprivilegedFileAccess()
    {
        if (::geteuid() == 0) {
            ::setfsgid(65534);
            ::setfsuid(65534);
            m_Dropped = true;
        }
    }
    ~UnprivilegedFileAccess()
    {
        if (m_Dropped) {
            ::setfsuid(0);
            ::setfsgid(0);
        }
    }
    UnprivilegedFileAccess(const UnprivilegedFileAccess &) = delete;
    UnprivilegedFileAccess &operator=(const UnprivilegedFileAccess &) = delete;

private:
    bool m_Dropped = false;
};
