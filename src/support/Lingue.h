#pragma once

// The multi-language dictionary. Every language holds the same entries side by side:
// entry n is the same text in each language, and windows take their captions by
// language and entry number. The dictionary file (M3.diz) opens each language with a
// "###" line followed by its name line ("#English"); every further non-empty line is
// the language's next entry. The current language lives in a file of its own (M3.con).
// Both files are CR LF, Windows-1252. Language and entry indexes are 16-bit; look-ups
// out of range give "" (or -1 for counts) and never fail.

#include <QList>
#include <QString>
#include <QStringList>

namespace support {

struct LinguaRec {
    qint16 Index = 0;
    QString Name;        // the name line as read, with its leading "#"
    QStringList Entries; // entry number -> text
};

class ClsLingue {
public:
    ClsLingue();

    // The language named by the current-language file, always one of the loaded
    // languages: 0 stands in when the file is missing, holds no number or one beyond
    // UboundLingue, so callers may index their language menu with it.
    qint16 IdLingua() const;
    // Rewrites the current-language file with the value; nothing when it is missing.
    // False with why set when it could not be written (the old file stays whole).
    bool IdLingua(qint16 value, QString* why = nullptr);

    // The name after the leading "#"; "" out of range or for a name without "#".
    QString NomeLingua(qint16 language) const;
    // Puts the language into the first record without a name (or a new one at the
    // end); nothing when a record already has that name.
    void NuovaLingua(const QString& name);

    // The highest language index of the loaded file (-1 when it held no language).
    qint16 UboundLingue() const { return uboundLingue_; }
    // The highest entry index of language 0.
    qint16 UboundVoci() const;
    // The highest entry index of the language; -1 out of range.
    void UboundVociLingua(qint16 language, qint16& ubound) const;

    // What LoadDizionario found: false for a file that is damaged.
    struct LoadVerdict {
        bool dictionaryWhole = true; // readable and holding a language with entries
        bool languageWhole = true;   // the current-language file names a loaded language
    };
    // Reads the dictionary file (when it can be opened) and settles the current
    // language: a missing current-language file is created next to the dictionary (M3.diz
    // gives M3.con) holding 0. One holding no number, or one beyond the languages of a
    // whole dictionary, is left as it is (the installer's choice is not lost to a damaged
    // file) and language 0 stands in.
    LoadVerdict LoadDizionario();
    // Rewrites the existing dictionary file, "_BLANK_" in place of empty entries.
    // False when the file is missing or cannot be written (the old file stays whole; why
    // is set to the reason).
    bool SaveDizionario(QString* why = nullptr) const;

    const QString& PathDizionario() const { return pathDizionario_; }
    void PathDizionario(const QString& path) { pathDizionario_ = path; }
    const QString& PathAttualeLingua() const { return pathAttualeLingua_; }
    void PathAttualeLingua(const QString& path) { pathAttualeLingua_ = path; }

    // The entry's text; "" for a negative index or one beyond its table.
    QString VoceDizionario(qint16 language, qint16 entry) const;
    // Stores the text, growing the language's list with empty entries up to the
    // index; nothing for a negative index or a language that does not exist.
    void VoceDizionario(qint16 language, qint16 entry, const QString& text);

    // Inserts an empty entry at the index in every language (a shorter list just
    // grows to the index). The first argument is not used.
    void NuovaVoce(qint16 unused, qint16 entry);
    // Removes the entry in every language that holds it: the later entries move down
    // and the list keeps its length with "" at the end.
    void EliminaVoce(qint16 entry);
    // Removes the language; the following ones move down and are renumbered.
    void EliminaLingua(qint16 language);

private:
    bool HasLanguage(int language) const;
    void ReadDictionary(const QStringList& lines);
    bool SettleCurrentLanguage(bool dictionaryWhole);

    qint16 uboundLingue_ = 0;
    QList<LinguaRec> lingue_;
    QString pathDizionario_;
    QString pathAttualeLingua_;
};

// The first language whose highest entry index differs from that of language 0; -1
// when all agree or nothing is loaded.
qint16 FindLinguaMismatch(const ClsLingue& lingue);

// A section of texts of our own: the entry whose text in language 0 is the marker
// ("[FrmErrEcu]"), then the count entries after it in the current language. Every
// language holds the markers at the same entry numbers. Empty when there is no such
// marker.
QStringList SectionTexts(const ClsLingue& lingue, const QString& marker, int count);
// The same with the texts the program falls back on, one per entry: an entry the
// dictionary lacks (or leaves empty) is its fallback.
QStringList SectionTexts(const ClsLingue& lingue, const QString& marker,
                         const QStringList& fallbacks);

} // namespace support
