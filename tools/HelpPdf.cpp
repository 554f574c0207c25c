#include "HelpPdf.h"

#include "support/FileWriter.h"

#include <QAbstractTextDocumentLayout>
#include <QBuffer>
#include <QFile>
#include <QFont>
#include <QPageLayout>
#include <QPageSize>
#include <QPdfWriter>
#include <QTextBlock>
#include <QTextBlockFormat>
#include <QTextCharFormat>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextDocumentFragment>
#include <QTextFrame>

namespace helppdf {

namespace {

constexpr double MarginMm = 20;
// Block properties that mark a text's title and the line naming the Italian guide's page.
constexpr int TitleProperty = QTextFormat::UserProperty + 1;
constexpr int StartPageProperty = QTextFormat::UserProperty + 2;
// Laid out at the screen's resolution, as Qt lays out a document it prints itself: laid
// out at a printer's resolution the guide's text came out far too large for its pages.
constexpr int Dpi = 96;

void SetWhy(QString* why, const QString& text) {
    if (why) {
        *why = text;
    }
}

QTextBlock StartPageBlock(const QTextDocument& document) {
    for (QTextBlock block = document.begin(); block.isValid(); block = block.next()) {
        if (block.blockFormat().hasProperty(StartPageProperty)) {
            return block;
        }
    }
    return {};
}

// The line under the first title, in italics, in a paragraph of its own.
void InsertStartPageLine(const QTextBlock& firstTitle) {
    QTextCursor cursor(firstTitle);
    cursor.movePosition(QTextCursor::EndOfBlock);
    QTextBlockFormat line;
    line.setProperty(StartPageProperty, true);
    line.setBottomMargin(12);
    QTextCharFormat italic;
    italic.setFontItalic(true);
    cursor.insertBlock(line, italic);
    cursor.insertText(ItalianStartText(0), italic);
}

// Writes the Italian guide's page into its line, as laid out now. The number's width
// may move a line at a page's end, so it is laid out again until it holds.
void NumberItalianStart(QTextDocument& document) {
    const QList<QTextBlock> titles = TitleBlocks(document);
    const QTextBlock line = StartPageBlock(document);
    if (titles.size() < 2 || !line.isValid()) {
        return;
    }
    for (int pass = 0; pass < 3; ++pass) {
        const QString text = ItalianStartText(PageOfBlock(document, titles[1]));
        if (line.text() == text) {
            return;
        }
        QTextCursor cursor(line);
        cursor.movePosition(QTextCursor::EndOfBlock, QTextCursor::KeepAnchor);
        cursor.insertText(text, cursor.charFormat());
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
        title.setProperty(TitleProperty, int(i));
        QTextCursor(document->findBlock(start)).setBlockFormat(title);
    }
    if (markdownTexts.size() > 1) {
        InsertStartPageLine(document->begin());
    }
    return document;
}

QString ItalianStartText(int page) {
    return QStringLiteral("Guida in italiano: pagina %1").arg(page);
}

int PageOfBlock(const QTextDocument& document, const QTextBlock& block) {
    const double pageHeight = document.pageSize().height();
    if (pageHeight <= 0) {
        return 1;
    }
    const QRectF area = document.documentLayout()->blockBoundingRect(block);
    return int(area.top() / pageHeight) + 1;
}

QList<QTextBlock> TitleBlocks(const QTextDocument& document) {
    QList<QTextBlock> titles;
    for (QTextBlock block = document.begin(); block.isValid(); block = block.next()) {
        if (block.blockFormat().hasProperty(TitleProperty)) {
            titles << block;
        }
    }
    return titles;
}

bool WriteHelpPdf(QTextDocument& document, const QString& path, int& pages, QString* why) {
    // The writer and its buffer stay with the document: its layout keeps the writer as
    // its paint device, so what is asked of the document afterwards (a block's page, a
    // drawing) is what was printed.
    auto* pdf = new QBuffer(&document);
    pdf->open(QIODevice::WriteOnly);
    auto* writer = new QPdfWriter(pdf);
    writer->setParent(pdf);
    writer->setResolution(Dpi);
    writer->setPageLayout(QPageLayout(QPageSize(QPageSize::A4), QPageLayout::Portrait,
                                      QMarginsF(0, 0, 0, 0), QPageLayout::Millimeter));
    writer->setTitle(QStringLiteral("LX735"));
    writer->setCreator(QStringLiteral("lx735-make-help"));
    // Laid out for the writer's own page, so that the count below is what it prints.
    document.documentLayout()->setPaintDevice(writer);
    QTextFrameFormat frame = document.rootFrame()->frameFormat();
    frame.setMargin(MarginMm / 25.4 * Dpi);
    document.rootFrame()->setFrameFormat(frame);
    document.setPageSize(QSizeF(writer->width(), writer->height()));
    NumberItalianStart(document);
    pages = document.pageCount();
    document.print(writer);
    pdf->close();
    if (!pdf->data().startsWith("%PDF")) {
        SetWhy(why, QStringLiteral("the PDF writer produced nothing"));
        return false;
    }
    return support::WriteWholeFile(path, pdf->data(), why);
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
