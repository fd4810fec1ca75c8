// Writes the benchmarks' 50 MB notes file into a folder and prints its path.

#include "support/notesfile.h"

#include <cstdio>

int main(int argc, char **argv)
{
    if (argc != 2) {
        std::fprintf(stderr, "usage: makenotes FOLDER\n");
        return 2;
    }
    std::printf("%s\n", qPrintable(tlbench::makeNotesFile(QString::fromLocal8Bit(argv[1]))));
    return 0;
}
