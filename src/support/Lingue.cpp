#include "support/Lingue.h"

#include "support/Codepage.h"
#include "support/FileRoutines.h"
#include "support/FileWriter.h"

#include <QFile>
#include <QRegularExpression>
#include <limits>
#include <optional>

namespace support {

namespace {

// Indexes are 16-bit: a list holds at most this many entries, the table as many languages.
constexpr qsizetype MaxItems = qsizetype(std::numeric_limits<qint16>::max()) + 1;

const QString LanguageMark = QStringLiteral("###");
const QString BlankMark = QStringLiteral("_BLANK_");

LinguaRec FreshRecord(qsizetype index, const QString& name) {
    return {static_cast<qint16>(index), name, QStringList{QString()}};
}

// The lines of a text file; a line ends at CR LF (or a lone CR or LF, for a file that
// went through another editor). Nothing when the file cannot be read.
std::optional<QStringList> ReadTextLines(const QString& path) {
    const std::optional<QByteArray> read = ReadFileBytes(path);
    if (!read) {
        return std::nullopt;
    }
    const QByteArray& bytes = *read;
    static const QRegularExpression lineEnd(QStringLiteral("\r\n|\r|\n"));
    QStringList lines = DecodeCp1252(bytes).split(lineEnd);
    // The end of the last line is not the start of another one.
    if (lines.last().isEmpty()) {
        lines.removeLast();
    }
    return lines;
}

// Writes the lines whole or not at all, each ended by CR LF.
bool WriteTextLines(const QString& path, const QStringList& lines, QString* why = nullptr) {
    QByteArray bytes;
    for (const QString& line : lines) {
        bytes += EncodeCp1252(line) + "\r\n";
    }
    return WriteWholeFile(path, bytes, why);
}

// The first line of the current-language file that is a number (spaces around it
// allowed). Nothing when there is none or it is beyond 16 bits.
std::optional<qint16> ReadStoredLanguage(const QString& path) {
    const std::optional<QStringList> lines = ReadTextLines(path);
    if (!lines) {
        return std::nullopt;
    }
    static const QRegularExpression integer(QStringLiteral("^[+-]?[0-9]+$"));
    for (const QString& line : *lines) {
        const QString text = line.trimmed();
        if (integer.match(text).hasMatch()) {
            bool ok = false;
            const qint16 value = text.toShort(&ok);
            return ok ? std::optional<qint16>(value) : std::nullopt;
        }
    }
    return std::nullopt;
}

} // namespace

ClsLingue::ClsLingue() : lingue_{FreshRecord(0, QString())} {}

bool ClsLingue::HasLanguage(int language) const {
    return language >= 0 && language < lingue_.size();
}

qint16 ClsLingue::IdLingua() const {
    const std::optional<qint16> stored = ReadStoredLanguage(pathAttualeLingua_);
    return stored && *stored >= 0 && *stored <= uboundLingue_ ? *stored : 0;
}

bool ClsLingue::IdLingua(qint16 value, QString* why) {
    return !IsFilePresent(pathAttualeLingua_) ||
           WriteTextLines(pathAttualeLingua_, {QString::number(value)}, why);
}

QString ClsLingue::NomeLingua(qint16 language) const {
    if (!HasLanguage(language)) {
        return {};
    }
    const QString& name = lingue_[language].Name;
    return name.size() >= 2 && name.startsWith('#') ? name.mid(1) : QString();
}

void ClsLingue::NuovaLingua(const QString& name) {
    for (const LinguaRec& rec : lingue_) {
        if (rec.Name == name) {
            return;
        }
    }
    for (qsizetype i = 0; i < lingue_.size(); ++i) {
        if (lingue_[i].Name.isEmpty()) {
            lingue_[i] = FreshRecord(i, name);
            return;
        }
    }
    if (lingue_.size() < MaxItems) {
        lingue_.append(FreshRecord(lingue_.size(), name));
    }
}

qint16 ClsLingue::UboundVoci() const {
    qint16 ubound = -1;
    UboundVociLingua(0, ubound);
    return ubound;
}

void ClsLingue::UboundVociLingua(qint16 language, qint16& ubound) const {
    ubound = HasLanguage(language) ? static_cast<qint16>(lingue_[language].Entries.size() - 1)
                                   : qint16(-1);
}

ClsLingue::LoadVerdict ClsLingue::LoadDizionario() {
    LoadVerdict verdict;
    std::optional<QStringList> lines;
    if (IsFilePresent(pathDizionario_)) {
        lines = ReadTextLines(pathDizionario_);
    }
    if (lines) {
        ReadDictionary(*lines);
    }
    // Without a language holding entries the windows keep their placeholder captions.
    verdict.dictionaryWhole = lines && uboundLingue_ >= 0 && UboundVoci() > 0;
    verdict.languageWhole = SettleCurrentLanguage(verdict.dictionaryWhole);
    return verdict;
}

void ClsLingue::ReadDictionary(const QStringList& lines) {
    uboundLingue_ = -1;
    lingue_ = {FreshRecord(0, QString())};
    qsizetype k = 0;
    for (qsizetype i = 0; i < lines.size(); ++i) {
        const QString& line = lines[i];
        if (line.isEmpty()) {
            continue;
        }
        if (line != LanguageMark) {
            // Lines before the first language belong to none; a full list takes no more.
            if (uboundLingue_ >= 0 && k < MaxItems) {
                QStringList& entries = lingue_[uboundLingue_].Entries;
                if (k >= entries.size()) {
                    entries.resize(k + 1);
                }
                entries[k++] = line;
            }
            continue;
        }
        // A mark on the last line opens no language.
        if (i + 1 >= lines.size() || uboundLingue_ + 1 >= MaxItems) {
            break;
        }
        ++uboundLingue_;
        k = 0;
        if (lingue_.size() <= uboundLingue_) {
            lingue_.resize(uboundLingue_ + 1);
        }
        lingue_[uboundLingue_] = FreshRecord(uboundLingue_, lines[++i]);
    }
}

bool ClsLingue::SettleCurrentLanguage(bool dictionaryWhole) {
    if (IsFilePresent(pathAttualeLingua_)) {
        const std::optional<qint16> stored = ReadStoredLanguage(pathAttualeLingua_);
        // A language the damaged dictionary lacks is the dictionary's fault, not the file's.
        return stored && *stored >= 0 && (*stored <= uboundLingue_ || !dictionaryWhole);
    }
    pathAttualeLingua_ = pathDizionario_.left(pathDizionario_.size() - 3) + "con";
    WriteTextLines(pathAttualeLingua_, {QStringLiteral("0")});
    return true;
}

bool ClsLingue::SaveDizionario(QString* why) const {
    if (!IsFilePresent(pathDizionario_)) {
        return false;
    }
    QStringList lines;
    for (const LinguaRec& rec : lingue_) {
        lines << LanguageMark << rec.Name;
        for (const QString& entry : rec.Entries) {
            lines << (entry.isEmpty() ? BlankMark : entry);
        }
    }
    return WriteTextLines(pathDizionario_, lines, why);
}

QString ClsLingue::VoceDizionario(qint16 language, qint16 entry) const {
    if (!HasLanguage(language) || entry < 0 || entry >= lingue_[language].Entries.size()) {
        return {};
    }
    return lingue_[language].Entries[entry];
}

void ClsLingue::VoceDizionario(qint16 language, qint16 entry, const QString& text) {
    if (!HasLanguage(language) || entry < 0) {
        return;
    }
    QStringList& entries = lingue_[language].Entries;
    if (entry >= entries.size()) {
        entries.resize(entry + 1);
    }
    entries[entry] = text;
}

void ClsLingue::NuovaVoce(qint16 /*unused*/, qint16 entry) {
    if (entry < 0) {
        return;
    }
    for (LinguaRec& rec : lingue_) {
        if (entry >= rec.Entries.size()) {
            rec.Entries.resize(entry + 1);
            continue;
        }
        rec.Entries.insert(entry, QString());
        // A full list drops its last entry rather than outgrow 16-bit indexes.
        if (rec.Entries.size() > MaxItems) {
            rec.Entries.removeLast();
        }
    }
}

void ClsLingue::EliminaVoce(qint16 entry) {
    if (entry < 0) {
        return;
    }
    for (LinguaRec& rec : lingue_) {
        if (entry < rec.Entries.size()) {
            rec.Entries.removeAt(entry);
            rec.Entries.append(QString());
        }
    }
}

void ClsLingue::EliminaLingua(qint16 language) {
    if (!HasLanguage(language)) {
        return;
    }
    lingue_.removeAt(language);
    for (qsizetype i = language; i < lingue_.size(); ++i) {
        lingue_[i].Index = static_cast<qint16>(i);
    }
}

qint16 FindLinguaMismatch(const ClsLingue& lingue) {
    const qint16 reference = lingue.UboundVoci();
    for (int i = 0; i <= lingue.UboundLingue(); ++i) {
        qint16 ubound = -1;
        lingue.UboundVociLingua(static_cast<qint16>(i), ubound);
        if (ubound != reference) {
            return static_cast<qint16>(i);
        }
    }
    return -1;
}

QStringList SectionTexts(const ClsLingue& lingue, const QString& marker, int count) {
    for (int entry = 0; entry <= lingue.UboundVoci(); ++entry) {
        if (lingue.VoceDizionario(0, qint16(entry)) == marker) {
            QStringList texts;
            for (int k = 1; k <= count; ++k) {
                texts << lingue.VoceDizionario(lingue.IdLingua(), qint16(entry + k));
            }
            return texts;
        }
    }
    return {};
}

QStringList SectionTexts(const ClsLingue& lingue, const QString& marker,
                         const QStringList& fallbacks) {
    QStringList texts = SectionTexts(lingue, marker, int(fallbacks.size()));
    texts.resize(fallbacks.size());
    for (qsizetype i = 0; i < texts.size(); ++i) {
        if (texts[i].isEmpty()) {
            texts[i] = fallbacks[i];
        }
    }
    return texts;
}

} // namespace support
