// lx735-scramble PLAIN SCRAMBLED: writes the scrambled form of a plain data file.
#include "Scramble.h"

#include <QFile>
#include <cstdio>

int main(int argc, char** argv) {
    if (argc != 3) {
        std::fprintf(stderr, "usage: lx735-scramble PLAIN SCRAMBLED\n");
        return 2;
    }
    QFile in(QString::fromLocal8Bit(argv[1]));
    if (!in.open(QIODevice::ReadOnly)) {
        std::fprintf(stderr, "lx735-scramble: cannot read %s\n", argv[1]);
        return 1;
    }
    QFile out(QString::fromLocal8Bit(argv[2]));
    if (!out.open(QIODevice::WriteOnly | QIODevice::Truncate) ||
        out.write(tools::ScrambleFile(in.readAll())) < 0) {
        std::fprintf(stderr, "lx735-scramble: cannot write %s\n", argv[2]);
        return 1;
    }
    return 0;
}
