#pragma once
#include <csignal>
#include <sys/fsuid.h>
#include <sys/resource.h>
#include <unistd.h>

// Ways to make a file write fail in a test without special rights.

// While it lives, this process may write files of at most `bytes` bytes: a
// write past that fails with EFBIG, as a write onto a full disk fails with
// ENOSPC (SIGXFSZ is ignored meanwhile, so the write fails instead of ending
// the process). Works as root too.
class ScopedFileSizeLimit {
public:
    explicit ScopedFileSizeLimit(rlim_t bytes)
    {
        m_OldHandler = std::signal(SIGXFSZ, SIG_IGN);
        ::getrlimit(RLIMIT_FSIZE, &m_Old);
        rlimit limit = m_Old;
        limit.rlim_cur = bytes;
        ::setrlimit(RLIMIT_FSIZE, &limit);
    }
    ~ScopedFileSizeLimit()
    {
        ::setrlimit(RLIMIT_FSIZE, &m_Old);
        std::signal(SIGXFSZ, m_OldHandler);
    }
    ScopedFileSizeLimit(const ScopedFileSizeLimit &) = delete;
    ScopedFileSizeLimit &operator=(const ScopedFileSizeLimit &) = delete;

private:
    rlimit m_Old{};
    void (*m_OldHandler)(int) = nullptr;
};

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
