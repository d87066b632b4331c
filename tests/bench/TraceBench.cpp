// The cost of one trace line in file mode, beside the plainest loop that
// writes the same lines with the same guarantee (each line a whole
// open-append-close cycle, so the file is complete if the program ends
// abruptly, and the size limit checked on the file as it is, whoever else
// wrote to it): open for append, fstat, write, close, in C.
//
// The trace file is named as the program names it (program folder,
// executable name, ".DBG"). Each round writes `lines` lines of the kind the main window's load writes
// for every listed configuration ("m_CurrentIDProgramma=<id>") into a fresh
// file, once through CTraceCode and once through the C loop, alternately;
// the figures are the medians over the rounds, in nanoseconds per line.
//
//   TraceBench [lines [rounds]]        default: 100000 lines, 7 rounds
#include "CTraceCode.h"
#include "ProgramFolder.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <vector>

namespace {

double median(std::vector<double> v)
{
    std::sort(v.begin(), v.end());
    return v[v.size() / 2];
}

QString lineText(int i)
{
    return QStringLiteral("m_CurrentIDProgramma=") + QString::number(100000 + i);
}

// The reference: open for append, fstat, write, close per line. The text is
// built and encoded per line too, as any caller with a number to trace has
// to; the C loop does it with snprintf.
double cLoop(const QByteArray &path, int lines)
{
    QElapsedTimer t;
    t.start();
    char buffer[64];
    for (int i = 0; i < lines; ++i) {
        const int n = std::snprintf(buffer, sizeof buffer, "m_CurrentIDProgramma=%d\r\n", 100000 + i);
        const int fd = ::open(path.constData(), O_WRONLY | O_APPEND | O_CREAT | O_CLOEXEC, 0666);
        struct stat st;
        if (fd >= 0 && ::fstat(fd, &st) == 0 && st.st_size >= CTraceCode::kSizeLimit)
            std::fprintf(stderr, "unexpected size\n");
        if (fd < 0 || ::write(fd, buffer, static_cast<size_t>(n)) != n)
            std::fprintf(stderr, "write failed\n");
        if (fd >= 0)
            ::close(fd);
    }
    return static_cast<double>(t.nsecsElapsed()) / lines;
}

// The trace as the program runs it: the file named after the program folder
// and the executable.
double traceLoop(int lines)
{
    CTraceCode trace;
    trace.SetBugFileCreateMode(0);
    trace.SetBugMode(0);
    trace.SetBugTraceMode(1);
    trace.SetBugIdentifySystem(false);
    trace.BugStartTrace(); // the header line only
    QElapsedTimer t;
    t.start();
    for (int i = 0; i < lines; ++i)
        trace.BugMessage(lineText(i));
    return static_cast<double>(t.nsecsElapsed()) / lines;
}

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    const QStringList args = app.arguments().mid(1);
    const int lines = args.size() > 0 ? args[0].toInt() : 100000;
    const int rounds = args.size() > 1 ? args[1].toInt() : 7;
    if (lines <= 0 || rounds <= 0) {
        std::fprintf(stderr, "usage: TraceBench [lines [rounds]]\n");
        return 2;
    }
    QTemporaryDir dir;
    if (!dir.isValid())
        return 1;
    const QString cPath = QDir(dir.path()).filePath(QStringLiteral("c.DBG"));
    SetProgramFolder(dir.path());
    SetExecutableName(QStringLiteral("trace"));
    const QString tracePath = QDir(dir.path()).filePath(QStringLiteral("trace.DBG"));

    std::vector<double> c;
    std::vector<double> trace;
    for (int r = 0; r < rounds; ++r) {
        QFile::remove(cPath);
        QFile::remove(tracePath);
        { // the C loop's file exists from the start, as the trace's does
            QFile f(cPath);
            if (!f.open(QIODevice::WriteOnly))
                return 1;
        }
        c.push_back(cLoop(QFile::encodeName(cPath), lines));
        trace.push_back(traceLoop(lines));
        if (QFileInfo(cPath).size() == 0 || QFileInfo(tracePath).size() < QFileInfo(cPath).size())
            std::fprintf(stderr, "round %d: a file is short\n", r);
    }
    const double cNs = median(c);
    const double traceNs = median(trace);
    std::printf("lines\tC loop ns/line\ttrace ns/line\ttrace / C\n");
    std::printf("%d\t%.0f\t%.0f\t%.2f\n", lines, cNs, traceNs, traceNs / cNs);
    return 0;
}
