#include "DiskReadFailure.h"

#include <QFile>
#include <atomic>
#include <cerrno>
#include <gtest/gtest.h>
#include <sqlite3.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

// The read calls of SQLite's unix file layer that may read a database page.
constexpr const char *kReadCalls[] = {"pread", "pread64", "read"};

using Pread = ssize_t (*)(int, void *, size_t, off_t);
using Read = ssize_t (*)(int, void *, size_t);

std::atomic<bool> g_Active{false};
std::atomic<bool> g_Failing{false};
std::atomic<int> g_LetThrough{0};
std::atomic<int> g_Failed{0};
dev_t g_Device = 0;
ino_t g_Inode = 0;
sqlite3_syscall_ptr g_Original[3] = {};

// True when this read of fd is to fail.
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

const sqlite3_syscall_ptr kFailing[] = {reinterpret_cast<sqlite3_syscall_ptr>(&failingPread),
                                        reinterpret_cast<sqlite3_syscall_ptr>(&failingPread64),
                                        reinterpret_cast<sqlite3_syscall_ptr>(&failingRead)};

} // namespace

DiskReadFailure::DiskReadFailure(const QString &file, int reads)
{
    EXPECT_FALSE(g_Active.exchange(true)) << "one DiskReadFailure at a time";
    struct stat st {};
    EXPECT_EQ(::stat(QFile::encodeName(file).constData(), &st), 0) << file.toStdString();
    g_Device = st.st_dev;
    g_Inode = st.st_ino;
    sqlite3_vfs *vfs = sqlite3_vfs_find(nullptr);
    int replaced = 0;
    for (int i = 0; i < 3; ++i) {
        g_Original[i] = vfs->xGetSystemCall(vfs, kReadCalls[i]);
        // SQLite is built to use one of pread and pread64 only.
        if (g_Original[i] != nullptr && vfs->xSetSystemCall(vfs, kReadCalls[i], kFailing[i]) == SQLITE_OK)
            ++replaced;
    }
    EXPECT_GE(replaced, 2) << "SQLite's read calls cannot be replaced";
    g_Failed = 0;
    Fail(reads);
}

DiskReadFailure::~DiskReadFailure()
{
    Heal();
    sqlite3_vfs *vfs = sqlite3_vfs_find(nullptr);
    for (int i = 0; i < 3; ++i) {
        if (g_Original[i] != nullptr)
            vfs->xSetSystemCall(vfs, kReadCalls[i], nullptr);
        g_Original[i] = nullptr;
    }
    g_Active = false;
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
