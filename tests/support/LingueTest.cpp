#include "support/Lingue.h"
#include "common/TempTree.h"

#include <QFile>
#include <gtest/gtest.h>

using namespace support;
using testing_support::TempTree;

namespace {

const QByteArray TwoLanguages = "###\r\n#Italiano\r\nUno\r\n\r\nDue\r\n"
                                "###\r\n#English\r\nOne\r\nTwo\r\n";

// A dictionary loaded from <tree>/LNG/M3.diz and M3.con (no M3.con when con is null).
ClsLingue Loaded(const TempTree& tree, const QByteArray& diz, const QByteArray& con = "0\r\n") {
    tree.Write("LNG/M3.diz", diz);
    if (!con.isNull()) {
        tree.Write("LNG/M3.con", con);
    }
    ClsLingue lingue;
    lingue.PathDizionario(tree.Path("LNG/M3.diz"));
    lingue.PathAttualeLingua(tree.Path("LNG/M3.con"));
    lingue.LoadDizionario();
    return lingue;
}

// Each loaded language as "<name line>|<entry>|<entry>...".
QStringList Dump(const ClsLingue& lingue) {
    QStringList dump;
    for (qint16 language = 0; language <= lingue.UboundLingue(); ++language) {
        qint16 ubound = -1;
        lingue.UboundVociLingua(language, ubound);
        QStringList fields = {"#" + lingue.NomeLingua(language)};
        for (qint16 entry = 0; entry <= ubound; ++entry) {
            fields << lingue.VoceDizionario(language, entry);
        }
        dump << fields.join('|');
    }
    return dump;
}

} // namespace

TEST(ClsLingue, LoadsTheTwoLanguageExample) {
    TempTree tree;
    const ClsLingue lingue = Loaded(tree, TwoLanguages);
    EXPECT_EQ(lingue.UboundLingue(), 1);
    EXPECT_EQ(lingue.UboundVoci(), 1);
    EXPECT_EQ(lingue.VoceDizionario(0, 1), "Due");
    EXPECT_EQ(lingue.VoceDizionario(1, 1), "Two");
    EXPECT_EQ(lingue.NomeLingua(0), "Italiano");
    EXPECT_EQ(lingue.NomeLingua(1), "English");
    EXPECT_EQ(FindLinguaMismatch(lingue), -1);

    EXPECT_EQ(lingue.VoceDizionario(0, 9999), "");
    EXPECT_EQ(lingue.VoceDizionario(0, -1), "");
    EXPECT_EQ(lingue.VoceDizionario(2, 0), "");
    EXPECT_EQ(lingue.VoceDizionario(-1, 0), "");
    EXPECT_EQ(lingue.NomeLingua(2), "");
}

TEST(ClsLingue, FileShapes) {
    const struct {
        const char* name;
        QByteArray diz;
        QStringList dump;
    } cases[] = {
        {"trailing mark", "###\r\n#Italiano\r\nUno\r\n###\r\n", {"#Italiano|Uno"}},
        {"lines before the first mark",
         "Titolo\r\n\r\n###\r\n#Italiano\r\nUno\r\n",
         {"#Italiano|Uno"}},
        {"no final line end", "###\r\n#Italiano\r\nUno", {"#Italiano|Uno"}},
        {"LF line ends", "###\n#Italiano\nUno\n", {"#Italiano|Uno"}},
        {"entries kept as they stand",
         "###\r\n#Italiano\r\n  \r\n Velocit\xe0 \r\n_BLANK_\r\n",
         {QString::fromUtf8("#Italiano|  | Velocità |_BLANK_")}},
        {"language without entries",
         "###\r\n#Italiano\r\n###\r\n#English\r\nOne\r\n",
         {"#Italiano|", "#English|One"}},
        {"the name line is taken whatever it holds", "###\r\n###\r\nUno\r\n", {"###|Uno"}},
        {"no language at all", "Uno\r\nDue\r\n", {}},
    };
    for (const auto& c : cases) {
        TempTree tree;
        EXPECT_EQ(Dump(Loaded(tree, c.diz)), c.dump) << c.name;
    }
}

TEST(ClsLingue, NomeLinguaNeedsTheLeadingHash) {
    TempTree tree;
    const ClsLingue lingue =
        Loaded(tree, "###\r\nEnglish\r\nOne\r\n###\r\n#\r\nUno\r\n###\r\n#D\r\nEins\r\n");
    EXPECT_EQ(lingue.NomeLingua(0), "");
    EXPECT_EQ(lingue.NomeLingua(1), "");
    EXPECT_EQ(lingue.NomeLingua(2), "D");
}

TEST(ClsLingue, MismatchNamesTheFirstLanguageOfAnotherLength) {
    TempTree tree;
    const ClsLingue lingue = Loaded(tree, "###\r\n#A\r\n1\r\n2\r\n###\r\n#B\r\n1\r\n2\r\n"
                                          "###\r\n#C\r\n1\r\n2\r\n3\r\n###\r\n#D\r\n1\r\n");
    EXPECT_EQ(FindLinguaMismatch(lingue), 2);

    TempTree empty;
    const ClsLingue none = Loaded(empty, "Uno\r\n");
    EXPECT_EQ(none.UboundLingue(), -1);
    EXPECT_EQ(FindLinguaMismatch(none), -1);
}

TEST(ClsLingue, MissingDictionaryLoadsNothing) {
    TempTree tree;
    ClsLingue lingue;
    lingue.PathDizionario(tree.Path("LNG/M3.diz"));
    lingue.PathAttualeLingua(tree.Path("LNG/M3.con"));
    lingue.LoadDizionario();
    EXPECT_EQ(lingue.UboundLingue(), 0);
    EXPECT_EQ(lingue.VoceDizionario(0, 0), "");
    EXPECT_EQ(lingue.VoceDizionario(1, 0), "");
    EXPECT_EQ(lingue.IdLingua(), 0);
}

// A current-language file that names no loaded language is damaged: language 0 stands
// in and the file stays as it was, so a mended dictionary finds the choice again.
TEST(ClsLingue, CurrentLanguageFileIsJudgedAndNeverRewrittenOnLoad) {
    const struct {
        QByteArray con;
        qint16 id;
        bool whole;
    } cases[] = {
        {"1\r\n", 1, true},   {"text\r\n  1  \r\n", 1, true}, {"5\r\n", 0, false},
        {"-1\r\n", 0, false}, {"99999\r\n", 0, false},        {"abc\r\n", 0, false},
        {"", 0, false},
    };
    for (const auto& c : cases) {
        TempTree tree;
        tree.Write("LNG/M3.diz", TwoLanguages);
        tree.Write("LNG/M3.con", c.con);
        ClsLingue lingue;
        lingue.PathDizionario(tree.Path("LNG/M3.diz"));
        lingue.PathAttualeLingua(tree.Path("LNG/M3.con"));
        const ClsLingue::LoadVerdict verdict = lingue.LoadDizionario();
        EXPECT_TRUE(verdict.dictionaryWhole) << c.con.toStdString();
        EXPECT_EQ(verdict.languageWhole, c.whole) << c.con.toStdString();
        EXPECT_EQ(lingue.IdLingua(), c.id) << c.con.toStdString();
        EXPECT_EQ(tree.Read("LNG/M3.con"), c.con) << c.con.toStdString();
    }
}

// A dictionary that cannot give the windows their texts is damaged; the language file is
// then not blamed for naming a language the dictionary lost.
TEST(ClsLingue, DictionaryVerdicts) {
    const struct {
        const char* what;
        QByteArray diz; // null: no file
        bool whole;
    } cases[] = {
        {"two languages", TwoLanguages, true},
        {"missing", QByteArray(), false},
        {"empty", "", false},
        {"text without a language mark", "Uno\r\nDue\r\n", false},
        {"a language without entries", "###\r\n#Italiano\r\n", false},
        {"binary junk", QByteArray("\x00\xff\x13junk\r\n", 9), false},
    };
    for (const auto& c : cases) {
        TempTree tree;
        if (!c.diz.isNull()) {
            tree.Write("LNG/M3.diz", c.diz);
        }
        tree.Write("LNG/M3.con", "1\r\n");
        ClsLingue lingue;
        lingue.PathDizionario(tree.Path("LNG/M3.diz"));
        lingue.PathAttualeLingua(tree.Path("LNG/M3.con"));
        const ClsLingue::LoadVerdict verdict = lingue.LoadDizionario();
        EXPECT_EQ(verdict.dictionaryWhole, c.whole) << c.what;
        EXPECT_TRUE(verdict.languageWhole) << c.what;
        EXPECT_EQ(tree.Read("LNG/M3.con"), "1\r\n") << c.what;
    }
}

#ifndef _WIN32
TEST(ClsLingue, AnUnreadableDictionaryIsDamaged) {
    TempTree tree;
    tree.Write("LNG/M3.diz", TwoLanguages);
    QFile::setPermissions(tree.Path("LNG/M3.diz"), QFileDevice::Permissions());
    QFile probe(tree.Path("LNG/M3.diz"));
    if (probe.open(QIODevice::ReadOnly)) {
        GTEST_SKIP() << "running with rights that read any file";
    }
    ClsLingue lingue;
    lingue.PathDizionario(tree.Path("LNG/M3.diz"));
    lingue.PathAttualeLingua(tree.Path("LNG/M3.con"));
    EXPECT_FALSE(lingue.LoadDizionario().dictionaryWhole);
}
#endif

TEST(ClsLingue, MissingCurrentLanguageFileIsCreatedBesideTheDictionary) {
    TempTree tree;
    tree.Write("LNG/M3.diz", TwoLanguages);
    ClsLingue lingue;
    lingue.PathDizionario(tree.Path("LNG/M3.diz"));
    lingue.PathAttualeLingua(tree.Path("BIN/none.con"));
    lingue.LoadDizionario();
    EXPECT_EQ(lingue.PathAttualeLingua(), tree.Path("LNG/M3.con"));
    EXPECT_EQ(tree.Read("LNG/M3.con"), "0\r\n");
    EXPECT_EQ(lingue.IdLingua(), 0);

    lingue.IdLingua(1);
    EXPECT_EQ(tree.Read("LNG/M3.con"), "1\r\n");
    EXPECT_EQ(lingue.IdLingua(), 1);

    lingue.PathAttualeLingua(tree.Path("BIN/none.con"));
    lingue.IdLingua(1);
    EXPECT_FALSE(QFile::exists(tree.Path("BIN/none.con")));
}

TEST(ClsLingue, SaveWritesBlankMarksThatStayOnReload) {
    TempTree tree;
    ClsLingue lingue = Loaded(tree, TwoLanguages);
    lingue.VoceDizionario(0, 1, "");
    lingue.VoceDizionario(1, 0, QString::fromUtf8("Caffè"));
    ASSERT_TRUE(lingue.SaveDizionario());
    EXPECT_EQ(tree.Read("LNG/M3.diz"), "###\r\n#Italiano\r\nUno\r\n_BLANK_\r\n"
                                       "###\r\n#English\r\nCaff\xe8\r\nTwo\r\n");

    const ClsLingue reloaded = Loaded(tree, tree.Read("LNG/M3.diz"));
    EXPECT_EQ(reloaded.VoceDizionario(0, 1), "_BLANK_");
    EXPECT_EQ(reloaded.VoceDizionario(1, 0), QString::fromUtf8("Caffè"));

    ClsLingue unsaved;
    unsaved.PathDizionario(tree.Path("LNG/other.diz"));
    EXPECT_FALSE(unsaved.SaveDizionario());
    EXPECT_FALSE(QFile::exists(tree.Path("LNG/other.diz")));
}

TEST(ClsLingue, EditingLanguagesAndEntries) {
    ClsLingue lingue;
    EXPECT_EQ(lingue.UboundLingue(), 0);
    EXPECT_EQ(lingue.UboundVoci(), 0);

    lingue.NuovaLingua("#Italiano"); // takes the unnamed record 0
    lingue.NuovaLingua("#English");
    lingue.NuovaLingua("#Italiano"); // already there
    EXPECT_EQ(lingue.NomeLingua(0), "Italiano");
    EXPECT_EQ(lingue.NomeLingua(1), "English");
    EXPECT_EQ(lingue.NomeLingua(2), "");

    lingue.VoceDizionario(1, 3, "Four"); // grows the list with empty entries
    lingue.VoceDizionario(5, 0, "none");
    lingue.VoceDizionario(0, 0, "Zero");
    qint16 ubound = -1;
    lingue.UboundVociLingua(1, ubound);
    EXPECT_EQ(ubound, 3);
    EXPECT_EQ(lingue.VoceDizionario(1, 2), "");
    lingue.UboundVociLingua(5, ubound);
    EXPECT_EQ(ubound, -1);

    lingue.NuovaVoce(0, 1); // language 0 ends before 1 and just grows to it
    EXPECT_EQ(lingue.UboundVoci(), 1);
    lingue.UboundVociLingua(1, ubound);
    EXPECT_EQ(ubound, 4);
    EXPECT_EQ(lingue.VoceDizionario(1, 4), "Four");

    lingue.EliminaVoce(2); // language 0 ends before 2 and stays as it is
    EXPECT_EQ(lingue.VoceDizionario(1, 3), "Four");
    EXPECT_EQ(lingue.VoceDizionario(1, 4), "");
    lingue.UboundVociLingua(1, ubound);
    EXPECT_EQ(ubound, 4);
    EXPECT_EQ(lingue.UboundVoci(), 1);
    EXPECT_EQ(lingue.VoceDizionario(0, 0), "Zero");

    lingue.EliminaLingua(0);
    lingue.EliminaLingua(7);
    EXPECT_EQ(lingue.NomeLingua(0), "English");
    EXPECT_EQ(lingue.NomeLingua(1), "");
    EXPECT_EQ(lingue.UboundVoci(), 4);
}
