#include "app/LablesFile.h"

#include "support/Codepage.h"
#include "support/Colors.h"
#include "support/FileRoutines.h"
#include "support/FileWriter.h"
#include "ui/ControlBuilder.h"
#include "ui/TabStrip.h"
#include "ui/TextCell.h"

#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QRegularExpression>
#include <QWidget>
#include <limits>
#include <optional>

namespace app {

namespace {

const QString NameKey = QStringLiteral("[Name]");
const QString EndNameKey = QStringLiteral("[EndName]");

// The file's items in reading order: an item ends at a comma or at the end of its line,
// blanks around an unquoted item are dropped, and a quoted item may hold commas.
QStringList ReadItems(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        return {};
    }
    static const QRegularExpression lineEnd(QStringLiteral("\r\n|\r|\n"));
    QStringList lines = support::DecodeCp1252(file.readAll()).split(lineEnd);
    if (!lines.isEmpty() && lines.last().isEmpty()) {
        lines.removeLast();
    }
    QStringList items;
    for (const QString& line : lines) {
        qsizetype pos = 0;
        while (true) {
            while (pos < line.size() && line[pos] == ' ') {
                ++pos;
            }
            if (pos < line.size() && line[pos] == '"') {
                qsizetype close = line.indexOf('"', pos + 1);
                if (close < 0) {
                    close = line.size();
                }
                items.append(line.mid(pos + 1, close - pos - 1));
                pos = line.indexOf(',', close);
            } else {
                const qsizetype comma = line.indexOf(',', pos);
                items.append(line.mid(pos, comma < 0 ? -1 : comma - pos).trimmed());
                pos = comma;
            }
            if (pos < 0) {
                break;
            }
            ++pos; // another item follows the comma
        }
    }
    return items;
}

class ItemReader {
public:
    explicit ItemReader(QStringList items) : items_(std::move(items)) {}
    bool AtEnd() const { return pos_ >= items_.size(); }
    QString Next() { return AtEnd() ? QString() : items_[pos_++]; }

private:
    QStringList items_;
    qsizetype pos_ = 0;
};

// "True", "False" (any case) or a number, 0 being False.
std::optional<bool> ParseBoolean(const QString& item) {
    const QString text = item.trimmed();
    if (text.compare("True", Qt::CaseInsensitive) == 0) {
        return true;
    }
    if (text.compare("False", Qt::CaseInsensitive) == 0) {
        return false;
    }
    bool ok = false;
    const double value = text.toDouble(&ok);
    return ok ? std::optional<bool>(value != 0) : std::nullopt;
}

// A whole number within the 32 bits of a control's property; nothing for anything else
// (a value beyond them cannot be rounded into one).
std::optional<qint64> ParseWhole(const QString& item) {
    bool ok = false;
    const double value = item.toDouble(&ok);
    if (!ok || !(value >= std::numeric_limits<qint32>::min() &&
                 value <= std::numeric_limits<qint32>::max())) {
        return std::nullopt;
    }
    return qRound64(value);
}

// The first control of that name; with an index, the element of that index.
QWidget* FindBlockControl(QWidget& window, const QString& name, int index) {
    const QString element = ui::ArrayName(name, index);
    const QString arrayPrefix = name + "(";
    for (QWidget* control : window.findChildren<QWidget*>()) {
        const QString objectName = control->objectName();
        if (index >= 0 ? objectName == element
                       : objectName == name || objectName.startsWith(arrayPrefix)) {
            return control;
        }
    }
    return nullptr;
}

void SetAlignment(QWidget& control, qint64 value) {
    const Qt::Alignment horizontal = value == 1   ? Qt::AlignRight
                                     : value == 2 ? Qt::AlignHCenter
                                                  : Qt::AlignLeft;
    if (auto* label = qobject_cast<QLabel*>(&control)) {
        label->setAlignment(horizontal | Qt::AlignVCenter);
    } else if (auto* edit = qobject_cast<QLineEdit*>(&control)) {
        edit->setAlignment(horizontal | Qt::AlignVCenter);
    } else if (auto* cell = qobject_cast<ui::TextCell*>(&control)) {
        cell->setAlignment(horizontal | Qt::AlignVCenter);
    }
}

void SetColor(QWidget& control, qint64 bgr, bool back) {
    QPalette palette = control.palette();
    const QColor color = support::ColorFromBgr(quint32(bgr));
    if (back) {
        for (QPalette::ColorRole role : {QPalette::Window, QPalette::Base, QPalette::Button}) {
            palette.setColor(role, color);
        }
        control.setAutoFillBackground(true);
    } else {
        for (QPalette::ColorRole role :
             {QPalette::WindowText, QPalette::Text, QPalette::ButtonText}) {
            palette.setColor(role, color);
        }
    }
    control.setPalette(palette);
}

void ApplyProperty(QWidget& control, const QString& key, qint64 value) {
    const int v = int(value);
    if (key == "[Width]") {
        ui::SetWidthTwips(control, v);
    } else if (key == "[Height]") {
        ui::SetHeightTwips(control, v);
    } else if (key == "[Top]") {
        ui::SetTopTwips(control, v);
    } else if (key == "[Left]") {
        ui::SetLeftTwips(control, v);
    } else if (key == "[Alignment]") {
        SetAlignment(control, value);
    } else if (key == "[BackColor]" || key == "[ForeColor]") {
        SetColor(control, value, key == "[BackColor]");
    }
}

bool IsValueKey(const QString& item) {
    static const QStringList keys{"[Width]",     "[Height]",    "[Top]",      "[Left]",
                                  "[Alignment]", "[BackColor]", "[ForeColor]"};
    return keys.contains(item);
}

// One block after its "[Name]". An unknown control leaves its items to the section.
void ApplyControlBlock(ItemReader& reader, QWidget& window) {
    const QString name = reader.Next();
    reader.Next(); // "[Index]"
    const std::optional<qint64> index = ParseWhole(reader.Next().trimmed());
    QWidget* control = FindBlockControl(window, name, index ? int(*index) : -1);
    if (!control) {
        return;
    }
    while (!reader.AtEnd()) {
        const QString key = reader.Next();
        if (key == EndNameKey) {
            return;
        }
        if (key == "[Visible]") {
            if (const std::optional<bool> visible = ParseBoolean(reader.Next())) {
                control->setVisible(*visible);
            }
        } else if (IsValueKey(key)) {
            const QString value = reader.Next().trimmed();
            if (!value.isEmpty()) {
                if (const std::optional<qint64> number = ParseWhole(value)) {
                    ApplyProperty(*control, key, *number);
                }
            }
        }
    }
}

void ApplySection(ItemReader& reader, QWidget& window, const QString& end) {
    while (!reader.AtEnd()) {
        const QString item = reader.Next();
        if (item == end) {
            return;
        }
        if (item == NameKey) {
            ApplyControlBlock(reader, window);
        }
    }
}

// The tab count setting (5 or 6) is what fits the shown tabs into the rows: five tabs
// (the Map tab hidden, four shown) stand two a row, six three a row.
int TabsPerRowForCount(int count) {
    return count == 6 ? 3 : 2;
}

void SetTabCount(ui::TabStrip& sstMain, int count) {
    sstMain.setTabVisible(5, count == 6);
    sstMain.SetTabsPerRow(TabsPerRowForCount(count));
}

void ApplyLables(QWidget& window, const QString& path, const QString& start, const QString& end,
                 bool mainPage) {
    if (!support::IsFilePresent(path)) {
        return;
    }
    ItemReader reader(ReadItems(path));
    while (!reader.AtEnd()) {
        const QString item = reader.Next();
        if (item == start) {
            ApplySection(reader, window, end);
        } else if (mainPage && item == "[pagina Map-F7]") {
            SetTabCount(ui::Bind<ui::TabStrip>(window, "SstMain"), reader.Next() == "1" ? 6 : 5);
        } else if (mainPage && item == "[Osci Scope]") {
            if (const std::optional<bool> visible = ParseBoolean(reader.Next())) {
                ui::Bind<QWidget>(window, "CmdView").setVisible(*visible);
            }
        }
    }
}

// A control's name and its index within its array ("" when it is no array element).
std::pair<QString, QString> NameAndIndex(const QString& objectName) {
    static const QRegularExpression element(QStringLiteral("^(.+)\\((\\d+)\\)$"));
    const QRegularExpressionMatch match = element.match(objectName);
    return match.hasMatch() ? std::pair{match.captured(1), match.captured(2)}
                            : std::pair{objectName, QString()};
}

quint32 ToBgr(const QColor& color) {
    return quint32(color.red()) | quint32(color.green()) << 8 | quint32(color.blue()) << 16;
}

// The alignment of a control that has one (labels and text boxes); nothing otherwise.
std::optional<int> AlignmentOf(const QWidget& control) {
    Qt::Alignment alignment;
    if (const auto* label = qobject_cast<const QLabel*>(&control)) {
        alignment = label->alignment();
    } else if (const auto* edit = qobject_cast<const QLineEdit*>(&control)) {
        alignment = edit->alignment();
    } else if (const auto* cell = qobject_cast<const ui::TextCell*>(&control)) {
        alignment = cell->alignment();
    } else {
        return std::nullopt;
    }
    return alignment & Qt::AlignRight ? 1 : alignment & Qt::AlignHCenter ? 2 : 0;
}

// A value line: the value and one blank, or a lone blank for a property the control
// lacks.
QString ValueLine(const std::optional<QString>& value) {
    return (value ? *value : QString()) + u' ';
}

QStringList ControlBlock(const QWidget& control) {
    const auto [name, index] = NameAndIndex(control.objectName());
    const QPalette& palette = control.palette();
    const std::optional<int> alignment = AlignmentOf(control);
    QStringList lines{NameKey, name, QStringLiteral("[Index]"),
                      index.isEmpty() ? QStringLiteral(" ") : index};
    const std::pair<const char*, std::optional<QString>> values[] = {
        {"[Visible]", control.isHidden() ? QStringLiteral("False") : QStringLiteral("True")},
        {"[Width]", QString::number(ui::WidthTwips(control))},
        {"[Height]", QString::number(ui::HeightTwips(control))},
        {"[Top]", QString::number(ui::TopTwips(control))},
        {"[Left]", QString::number(ui::LeftTwips(control))},
        {"[Alignment]", alignment ? std::optional(QString::number(*alignment)) : std::nullopt},
        {"[BackColor]", QString::number(ToBgr(palette.color(control.backgroundRole())))},
        {"[ForeColor]", QString::number(ToBgr(palette.color(control.foregroundRole())))},
    };
    for (const auto& [key, value] : values) {
        lines << QLatin1String(key) << ValueLine(value);
    }
    lines << EndNameKey << QStringLiteral(" ");
    return lines;
}

} // namespace

bool ApplyLablesIndexed(const QWidget& window, const QString& path, QString* why) {
    QStringList lines;
    for (const QWidget* control : window.findChildren<QWidget*>()) {
        const QString name = control->objectName();
        if (!name.isEmpty() && !name.startsWith(QStringLiteral("qt_"))) {
            lines << ControlBlock(*control);
        }
    }
    return support::WriteWholeFile(
        path, support::EncodeCp1252(lines.join(QStringLiteral("\r\n")) + "\r\n"), why);
}

void ApplyLablesMainPage(QWidget& window, const QString& path) {
    ui::TabStrip& sstMain = ui::Bind<ui::TabStrip>(window, "SstMain");
    sstMain.setTabVisible(4, false);
    sstMain.SetTabsPerRow(TabsPerRowForCount(5));
    ApplyLables(window, path, "[Sessione pagina Principale]", "[Fine pagina Principale]", true);
}

void ApplyLablesStatusBar(QWidget& window, const QString& path) {
    ApplyLables(window, path, "[Sessione pagina Barra Stato Macchina]",
                "[Fine pagina Barra Stato Macchina]", false);
}

} // namespace app
