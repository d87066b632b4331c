#pragma once
#include <QString>

// While it lives, the reads SQLite makes of one file fail as a disk that does
// not answer fails them: the read system call returns -1 with errno EIO.
// It stands in for the read calls of SQLite's file layer (through SQLite's
// own way of replacing them), so SQLite handles the failure as it handles
// one of the disk. Other files, and the reads of other code, are not
// touched. One at a time (of this and DiskWriteFailure).
class DiskReadFailure {
public:
    // Reads of the file fail from the first one on, or after `reads` more
    // have been let through.
    explicit DiskReadFailure(const QString &file, int reads = 0);
    ~DiskReadFailure();
    DiskReadFailure(const DiskReadFailure &) = delete;
    DiskReadFailure &operator=(const DiskReadFailure &) = delete;

    // The disk answers again, or stops answering again.
    void Heal();
    void Fail(int reads = 0);
    // How many reads have failed.
    int FailedReads() const;
};

// The same for the writes SQLite makes of one file: a disk that does not
// take the data (EIO).
class DiskWriteFailure {
public:
    explicit DiskWriteFailure(const QString &file);
    ~DiskWriteFailure();
    DiskWriteFailure(const DiskWriteFailure &) = delete;
    DiskWriteFailure &operator=(const DiskWriteFailure &) = delete;

    // How many writes have failed.
    int FailedWrites() const;
};
