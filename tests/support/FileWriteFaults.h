#pragma once
#include "UnprivilegedFileAccess.h"

#include <csignal>
#include <sys/resource.h>
#include <unistd.h>

// Ways to make a file write fail in a test without special rights (with
// UnprivilegedFileAccess for a read-only file or folder).

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
