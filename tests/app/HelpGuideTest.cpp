// The installer's guide that ? > Help opens: the repository's English and Italian texts
// rendered to one PDF, English first and Italian from a new page, staged as LNG/help.pdf.

#include "HelpPdf.h"
#include "common/BuildTools.h"
#include "common/TempTree.h"

#include <QFile>
#include <QTextBlock>
#include <QTextDocument>
#include <gtest/gtest.h>

namespace app_tests {
namespace {

const QStringList GuideFiles = {QStringLiteral(LX735_HELP_DIR "/guide-en.md"),
                                QStringLiteral(LX735_HELP_DIR "/guide-it.md")};

struct Heading {
    int level;
    QString text;
    bool newPage;
};

QList<Heading> Headings(const QTextDocument& document) {
    QList<Heading> headings;
    for (QTextBlock block = document.begin(); block.isValid(); block = block.next()) {
        const QTextBlockFormat format = block.blockFormat();
        if (format.headingLevel() > 0) {
            headings.push_back(
                {format.headingLevel(), block.text(),
                 format.pageBreakPolicy().testFlag(QTextFormat::PageBreak_AlwaysBefore)});
        }
    }
    return headings;
}

// The pages of a PDF as its page objects count them (Qt's writer compresses the page
// contents, not the page tree).
int PdfPages(const QByteArray& pdf) {
    return int(pdf.count("/Type /Page\n"));
}

std::unique_ptr<QTextDocument> RepositoryGuide() {
    QStringList texts;
    QString why;
    EXPECT_TRUE(helppdf::ReadGuideTexts(GuideFiles, texts, &why)) << why.toStdString();
    return helppdf::HelpDocument(texts);
}

// Both languages carry the same chapters in the same order, each language's title
// starting a new page, English first.
TEST(HelpGuideTest, BothLanguagesHaveTheirTitleOnANewPageAndTheSameChapters) {
    const QList<Heading> headings = Headings(*RepositoryGuide());
    QList<int> titles;
    for (int i = 0; i < headings.size(); ++i) {
        if (headings[i].level == 1) {
            titles << i;
        }
    }
    ASSERT_EQ(titles.size(), 2);
    EXPECT_EQ(headings[titles[0]].text, "LX735 installer's guide");
    EXPECT_EQ(headings[titles[1]].text, "LX735 guida per l'installatore");
    EXPECT_TRUE(headings[titles[1]].newPage) << "Italian starts on a page of its own";

    const QList<Heading> english = headings.mid(titles[0] + 1, titles[1] - titles[0] - 1);
    const QList<Heading> italian = headings.mid(titles[1] + 1);
    ASSERT_GE(english.size(), 10) << "connection, pages, update and status texts";
    ASSERT_EQ(italian.size(), english.size());
    for (int i = 0; i < english.size(); ++i) {
        // "3. Configuration (F3): ..." and "3. Configurazione (F3): ...": number and key.
        const QString number = english[i].text.section(' ', 0, 0);
        EXPECT_EQ(italian[i].text.section(' ', 0, 0), number) << italian[i].text.toStdString();
        const qsizetype key = english[i].text.indexOf("(F");
        if (key >= 0) {
            EXPECT_TRUE(italian[i].text.contains(english[i].text.mid(key, 4)))
                << italian[i].text.toStdString();
        }
    }
}

// The build stages what the guide renders to: a whole PDF of several pages per language.
TEST(HelpGuideTest, TheStagedHelpIsTheRenderedGuide) {
    testing_support::TempTree tree;
    std::unique_ptr<QTextDocument> guide = RepositoryGuide();
    int pages = 0;
    QString why;
    ASSERT_TRUE(helppdf::WriteHelpPdf(*guide, tree.Path("help.pdf"), pages, &why))
        << why.toStdString();
    const QByteArray rendered = tree.Read("help.pdf");
    EXPECT_TRUE(rendered.startsWith("%PDF-"));
    EXPECT_TRUE(rendered.trimmed().endsWith("%%EOF"));
    EXPECT_GE(pages, 4) << "at least two pages a language";
    EXPECT_EQ(PdfPages(rendered), pages);

    QFile staged(testing_support::StagedRootPath("LNG/help.pdf"));
    ASSERT_TRUE(staged.open(QIODevice::ReadOnly)) << "the build stages LNG/help.pdf";
    const QByteArray bytes = staged.readAll();
    EXPECT_TRUE(bytes.startsWith("%PDF-"));
    EXPECT_EQ(PdfPages(bytes), pages);
}

// The text on the first page that names the Italian guide's page, or "" when none does.
QString FirstPageLineNaming(const QTextDocument& document, int page) {
    const QString line = helppdf::ItalianStartText(page);
    for (QTextBlock block = document.begin(); block.isValid(); block = block.next()) {
        if (helppdf::PageOfBlock(document, block) == 1 && block.text() == line) {
            return block.text();
        }
    }
    return {};
}

// The Italian guide's title opens a page of its own, and the first page names that page,
// whether the English text fills one page or several (the last page holds a short
// Italian text alone, so its number is the page count).
TEST(HelpGuideTest, TheFirstPageNamesThePageOnWhichTheItalianGuideStarts) {
    QString longEnglish = "# Guide\n\n";
    for (int i = 0; i < 150; ++i) {
        longEnglish +=
            QString("Paragraph %1 of a long text that runs over several pages.\n\n").arg(i);
    }
    const struct {
        const char* name;
        QStringList texts;
    } cases[] = {
        {"short", {"# Guide\n\nOne line.\n", "# Guida\n\nUna riga.\n"}},
        {"long", {longEnglish, "# Guida\n\nUna riga.\n"}},
    };
    testing_support::TempTree tree;
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const auto document = helppdf::HelpDocument(c.texts);
        int pages = 0;
        QString why;
        ASSERT_TRUE(helppdf::WriteHelpPdf(*document, tree.Path("help.pdf"), pages, &why))
            << why.toStdString();
        const QList<QTextBlock> titles = helppdf::TitleBlocks(*document);
        ASSERT_EQ(titles.size(), 2);
        const int italian = helppdf::PageOfBlock(*document, titles[1]);
        EXPECT_EQ(italian, pages) << "the short Italian text stands alone on the last page";
        EXPECT_GT(italian, helppdf::PageOfBlock(*document, titles[1].previous()));
        EXPECT_EQ(FirstPageLineNaming(*document, italian), helppdf::ItalianStartText(italian));
    }
    EXPECT_EQ(helppdf::ItalianStartText(7), "Guida in italiano: pagina 7");
}

TEST(HelpGuideTest, TheRepositoryGuideNamesItsItalianPageOnTheFirstPage) {
    testing_support::TempTree tree;
    std::unique_ptr<QTextDocument> guide = RepositoryGuide();
    int pages = 0;
    QString why;
    ASSERT_TRUE(helppdf::WriteHelpPdf(*guide, tree.Path("help.pdf"), pages, &why))
        << why.toStdString();
    const QList<QTextBlock> titles = helppdf::TitleBlocks(*guide);
    ASSERT_EQ(titles.size(), 2);
    EXPECT_EQ(titles[1].text(), "LX735 guida per l'installatore");
    const int italian = helppdf::PageOfBlock(*guide, titles[1]);
    EXPECT_GT(italian, 2) << "the English guide takes more than one page";
    EXPECT_GT(italian, helppdf::PageOfBlock(*guide, titles[1].previous()));
    EXPECT_EQ(FirstPageLineNaming(*guide, italian), helppdf::ItalianStartText(italian));
}

TEST(HelpGuideTest, AMissingTextOrAnUnwritableFileIsAFailureWithItsReason) {
    testing_support::TempTree tree;
    QStringList texts;
    QString why;
    EXPECT_FALSE(helppdf::ReadGuideTexts({tree.Path("none.md")}, texts, &why));
    EXPECT_TRUE(why.startsWith(tree.Path("none.md"))) << why.toStdString();

    tree.Write("empty.md", " \n");
    EXPECT_FALSE(helppdf::ReadGuideTexts({tree.Path("empty.md")}, texts, &why));

    int pages = 0;
    why.clear();
    const auto guide = helppdf::HelpDocument({"# Title\n\nText.\n"});
    EXPECT_FALSE(helppdf::WriteHelpPdf(*guide, tree.Path("no folder/help.pdf"), pages, &why));
    EXPECT_FALSE(why.isEmpty());
    EXPECT_FALSE(QFile::exists(tree.Path("no folder/help.pdf")));
}

} // namespace
} // namespace app_tests
