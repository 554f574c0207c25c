#include "HelpPdf.h"

#include "support/FileWriter.h"

#include <QAbstractTextDocumentLayout>
#include <QBuffer>
#include <QFile>
#include <QFont>
#include <QPageLayout>
#include <QPageSize>
#include <QPdfWriter>
#include <QTextBlockFormat>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextDocumentFragment>
#include <QTextFrame>

namespace helppdf {

namespace {

constexpr double MarginMm = 20;
// Laid out at the screen's resolution, as Qt lays out a document it prints itself: laid
// out at a printer's resolution the guide's text came out far too large for its pages.
constexpr int Dpi = 96;

void SetWhy(QString* why, const QString& text) {
    if (why) {
        *why = text;
    }
}

} // namespace

std::unique_ptr<QTextDocument> HelpDocument(const QStringList& markdownTexts) {
    auto document = std::make_unique<QTextDocument>();
    // The program's own font, metric-compatible with the one its layouts were drawn for.
    QFont font(QStringLiteral("Liberation Sans"), 10);
    font.setStyleHint(QFont::SansSerif);
    document->setDefaultFont(font);
    QTextCursor cursor(document.get());
    for (qsizetype i = 0; i < markdownTexts.size(); ++i) {
        QTextDocument part;
        part.setMarkdown(markdownTexts[i]);
        cursor.movePosition(QTextCursor::End);
        if (i > 0) {
            cursor.insertBlock();
        }
        const int start = cursor.position();
        cursor.insertFragment(QTextDocumentFragment(&part));
        // The text's first block (its title) joins the block it is inserted into and
        // would take that block's format: it keeps its own, each language from a page.
        QTextBlockFormat title = part.begin().blockFormat();
        if (i > 0) {
            title.setPageBreakPolicy(QTextFormat::PageBreak_AlwaysBefore);
        }
        QTextCursor(document->findBlock(start)).setBlockFormat(title);
    }
    return document;
}

bool WriteHelpPdf(QTextDocument& document, const QString& path, int& pages, QString* why) {
    QBuffer pdf;
    pdf.open(QIODevice::WriteOnly);
    {
        QPdfWriter writer(&pdf);
        writer.setResolution(Dpi);
        writer.setPageLayout(QPageLayout(QPageSize(QPageSize::A4), QPageLayout::Portrait,
                                         QMarginsF(0, 0, 0, 0), QPageLayout::Millimeter));
        writer.setTitle(QStringLiteral("LX735"));
        writer.setCreator(QStringLiteral("lx735-make-help"));
        // Laid out for the writer's own page, so that the count below is what it prints.
        document.documentLayout()->setPaintDevice(&writer);
        QTextFrameFormat frame = document.rootFrame()->frameFormat();
        frame.setMargin(MarginMm / 25.4 * Dpi);
        document.rootFrame()->setFrameFormat(frame);
        document.setPageSize(QSizeF(writer.width(), writer.height()));
        pages = document.pageCount();
        document.print(&writer);
    }
    pdf.close();
    if (!pdf.data().startsWith("%PDF")) {
        SetWhy(why, QStringLiteral("the PDF writer produced nothing"));
        return false;
    }
    return support::WriteWholeFile(path, pdf.data(), why);
}

bool ReadGuideTexts(const QStringList& files, QStringList& texts, QString* why) {
    texts.clear();
    for (const QString& name : files) {
        QFile file(name);
        if (!file.open(QIODevice::ReadOnly)) {
            SetWhy(why, name + ": " + file.errorString());
            return false;
        }
        const QString text = QString::fromUtf8(file.readAll());
        if (text.trimmed().isEmpty()) {
            SetWhy(why, name + ": empty");
            return false;
        }
        texts << text;
    }
    return true;
}

} // namespace helppdf
