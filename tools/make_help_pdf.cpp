// lx735-make-help OUTPUT GUIDE...: renders the installer's guide (Markdown files, one per
// language, in their order) to the PDF that ? > Help opens (the staged LNG/help.pdf).

#include "HelpPdf.h"

#include <QGuiApplication>
#include <QStringList>
#include <QTextDocument>
#include <cstdio>

int main(int argc, char** argv) {
    if (argc < 3) {
        std::fprintf(stderr, "usage: lx735-make-help OUTPUT GUIDE...\n");
        return 2;
    }
    // Fonts need a GUI application; no screen is needed at build time.
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    QStringList files;
    for (int i = 2; i < argc; ++i) {
        files << QString::fromLocal8Bit(argv[i]);
    }
    QStringList texts;
    QString why;
    int pages = 0;
    if (!helppdf::ReadGuideTexts(files, texts, &why) ||
        !helppdf::WriteHelpPdf(*helppdf::HelpDocument(texts), QString::fromLocal8Bit(argv[1]),
                               pages, &why)) {
        std::fprintf(stderr, "lx735-make-help: %s\n", qPrintable(why));
        return 1;
    }
    return 0;
}
