#include "DiskReadFailure.h"

#include <QFile>
#include <atomic>
#include <cerrno>
#include <gtest/gtest.h>
#include <sqlite3.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

// The read calls of SQLite's unix file layer that may read a database page,
// and its write calls.
constexpr const char *kReadCalls[] = {"pread", "pread64", "read"};
constexpr const char *kWriteCalls[] = {"pwrite", "pwrite64", "write"};

using Pread = ssize_t (*)(int, void *, size_t, off_t);
using Read = ssize_t (*)(int, void *, size_t);
using Pwrite = ssize_t (*)(int, const void *, size_t, off_t);
using Write = ssize_t (*)(int, const void *, size_t);

std::atomic<bool> g_Active{false};
std::atomic<bool> g_Failing{false};
std::atomic<int> g_LetThrough{0};
std::atomic<int> g_Failed{0};
dev_t g_Device = 0;
ino_t g_Inode = 0;
const char *const *g_Calls = nullptr;
sqlite3_syscall_ptr g_Original[3] = {};

// True when this call on fd is to fail.
bool fails(int fd)
{
    if (!g_Failing)
        return false;
    struct stat st {};
    if (::fstat(fd, &st) != 0 || st.st_dev != g_Device || st.st_ino != g_Inode)
        return false;
    if (g_LetThrough.fetch_sub(1) > 0)
        return false;
    g_LetThrough = 0;
    ++g_Failed;
    errno = EIO;
    return true;
}

ssize_t failingPread(int fd, void *buffer, size_t count, off_t offset)
{
    return fails(fd) ? -1 : reinterpret_cast<Pread>(g_Original[0])(fd, buffer, count, offset);
}

ssize_t failingPread64(int fd, void *buffer, size_t count, off_t offset)
{
    return fails(fd) ? -1 : reinterpret_cast<Pread>(g_Original[1])(fd, buffer, count, offset);
}

ssize_t failingRead(int fd, void *buffer, size_t count)
{
    return fails(fd) ? -1 : reinterpret_cast<Read>(g_Original[2])(fd, buffer, count);
}

ssize_t failingPwrite(int fd, const void *buffer, size_t count, off_t offset)
{
    return fails(fd) ? -1 : reinterpret_cast<Pwrite>(g_Original[0])(fd, buffer, count, offset);
}

ssize_t failingPwrite64(int fd, const void *buffer, size_t count, off_t offset)
{
    return fails(fd) ? -1 : reinterpret_cast<Pwrite>(g_Original[1])(fd, buffer, count, offset);
}

ssize_t failingWrite(int fd, const void *buffer, size_t count)
{
    return fails(fd) ? -1 : reinterpret_cast<Write>(g_Original[2])(fd, buffer, count);
}

const sqlite3_syscall_ptr kFailingReads[] = {reinterpret_cast<sqlite3_syscall_ptr>(&failingPread),
                                             reinterpret_cast<sqlite3_syscall_ptr>(&failingPread64),
                                             reinterpret_cast<sqlite3_syscall_ptr>(&failingRead)};
const sqlite3_syscall_ptr kFailingWrites[] = {reinterpret_cast<sqlite3_syscall_ptr>(&failingPwrite),
                                              reinterpret_cast<sqlite3_syscall_ptr>(&failingPwrite64),
                                              reinterpret_cast<sqlite3_syscall_ptr>(&failingWrite)};

// Replaces the three calls of SQLite's file layer for the calls on file.
void replaceCalls(const QString &file, const char *const *calls, const sqlite3_syscall_ptr *failing)
{
    EXPECT_FALSE(g_Active.exchange(true)) << "one disk failure at a time";
    struct stat st {};
    EXPECT_EQ(::stat(QFile::encodeName(file).constData(), &st), 0) << file.toStdString();
    g_Device = st.st_dev;
    g_Inode = st.st_ino;
    g_Calls = calls;
    sqlite3_vfs *vfs = sqlite3_vfs_find(nullptr);
    int replaced = 0;
    for (int i = 0; i < 3; ++i) {
        g_Original[i] = vfs->xGetSystemCall(vfs, calls[i]);
        // SQLite is built to use one of pread and pread64 (pwrite and
        // pwrite64) only.
        if (g_Original[i] != nullptr && vfs->xSetSystemCall(vfs, calls[i], failing[i]) == SQLITE_OK)
            ++replaced;
    }
    EXPECT_GE(replaced, 2) << "SQLite's system calls cannot be replaced";
    g_Failed = 0;
}

void restoreCalls()
{
    g_Failing = false;
    sqlite3_vfs *vfs = sqlite3_vfs_find(nullptr);
    for (int i = 0; i < 3; ++i) {
        if (g_Original[i] != nullptr)
            vfs->xSetSystemCall(vfs, g_Calls[i], nullptr);
        g_Original[i] = nullptr;
    }
    g_Active = false;
}

} // namespace

DiskReadFailure::DiskReadFailure(const QString &file, int reads)
{
    replaceCalls(file, kReadCalls, kFailingReads);
    Fail(reads);
}

DiskReadFailure::~DiskReadFailure()
{
    restoreCalls();
}
void DiskReadFailure::Heal()
{
    g_Failing = false;
}

void DiskReadFailure::Fail(int reads)
{
    g_LetThrough = reads;
    g_Failing = true;
}

int DiskReadFailure::FailedReads() const
{
    return g_Failed;
}

DiskWriteFailure::DiskWriteFailure(const QString &file)
{
    replaceCalls(file, kWriteCalls, kFailingWrites);
    g_LetThrough = 0;
    g_Failing = true;
}

DiskWriteFailure::~DiskWriteFailure()
{
    restoreCalls();
}

int DiskWriteFailure::FailedWrites() const
{
    return g_Failed;
}
