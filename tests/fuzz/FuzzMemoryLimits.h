#pragma once
// The memory limits of a fuzzer that decodes pictures: Qt's own cap on one
// picture's allocation is lifted, so that only the program's checks stand
// between an input and the memory, and the run's memory limit (at most 1 GB
// unless the command line sets another) makes an input that goes beyond it a
// finding.
#include <QImageReader>

#include <cstring>
#include <vector>

inline void setPictureMemoryLimits(int* argc, char*** argv)
{
    QImageReader::setAllocationLimit(0);
    static char limit[] = "-rss_limit_mb=1024";
    static char mallocLimit[] = "-malloc_limit_mb=512";
    for (int i = 1; i < *argc; ++i) {
        if (std::strncmp((*argv)[i], "-rss_limit_mb=", 14) == 0)
            return;
    }
    static std::vector<char*> extended;
    extended.assign(*argv, *argv + *argc);
    extended.insert(extended.end(), {limit, mallocLimit, nullptr});
    *argc += 2;
    *argv = extended.data();
}
