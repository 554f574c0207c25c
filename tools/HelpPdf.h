#pragma once

// The installer's guide as one printable document: the guide's Markdown texts one after
// the other, each from a new page, laid out on A4 and written as a PDF with Qt's own
// writer (no viewer or printer needed, so it runs offscreen at build time). Under the
// first title a line tells, in Italian, on which page the Italian guide starts.

#include <QList>
#include <QString>
#include <QStringList>
#include <QTextBlock>
#include <memory>

class QTextDocument;

namespace helppdf {

// The texts in their order (English first, then Italian), each from a new page; with a
// second text, the line naming its page stands under the first title (its number is
// set when the document is laid out for its pages).
std::unique_ptr<QTextDocument> HelpDocument(const QStringList& markdownTexts);

// The line under the first title, for the page on which the Italian guide starts.
QString ItalianStartText(int page);

// The page (from 1) on which the block starts, as the document is laid out now.
int PageOfBlock(const QTextDocument& document, const QTextBlock& block);

// The title block of each text, in their order.
QList<QTextBlock> TitleBlocks(const QTextDocument& document);

// The document laid out on A4 pages, the Italian guide's page written under the first
// title, and the whole written to path; pages is the number of pages written. False,
// with why set, when the file could not be written.
bool WriteHelpPdf(QTextDocument& document, const QString& path, int& pages, QString* why);

// The guide's texts read from the files (UTF-8), in their order; False, with why set,
// when one cannot be read or is empty.
bool ReadGuideTexts(const QStringList& files, QStringList& texts, QString* why);

} // namespace helppdf
