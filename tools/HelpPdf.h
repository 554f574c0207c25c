#pragma once

// The installer's guide as one printable document: the guide's Markdown texts one after
// the other, each from a new page, laid out on A4 and written as a PDF with Qt's own
// writer (no viewer or printer needed, so it runs offscreen at build time).

#include <QString>
#include <QStringList>
#include <memory>

class QTextDocument;

namespace helppdf {

// The texts in their order (English first, then Italian), each from a new page.
std::unique_ptr<QTextDocument> HelpDocument(const QStringList& markdownTexts);

// The document laid out on A4 pages and written whole to path; pages is the number of
// pages written. False, with why set, when the file could not be written.
bool WriteHelpPdf(QTextDocument& document, const QString& path, int& pages, QString* why);

// The guide's texts read from the files (UTF-8), in their order; False, with why set,
// when one cannot be read or is empty.
bool ReadGuideTexts(const QStringList& files, QStringList& texts, QString* why);

} // namespace helppdf
