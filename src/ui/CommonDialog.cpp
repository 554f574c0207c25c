#include "ui/CommonDialog.h"

#include <QFileDialog>

namespace ui {

namespace {

// "var" of "*.var"; "" for a pattern with wildcards in its extension.
QString PatternExtension(const QString& pattern) {
    if (!pattern.startsWith(QStringLiteral("*."))) {
        return {};
    }
    const QString extension = pattern.mid(2);
    const bool literal = !extension.isEmpty() && !extension.contains('*') &&
                         !extension.contains('?') && !extension.contains('[');
    return literal ? extension : QString();
}

// The name after the last '/' has a dot past its first character, not as its last.
bool HasExtension(const QString& path) {
    const QString name = path.mid(path.lastIndexOf('/') + 1);
    const qsizetype dot = name.lastIndexOf('.');
    return dot > 0 && dot + 1 < name.size();
}

// The extension of the pair's first pattern ("var" of "*.var"), "" for none.
QString FilterExtension(const QString& filter, int pair) {
    const QString patterns = filter.split('|').value(2 * (pair - 1) + 1);
    return PatternExtension(patterns.split(';').value(0).trimmed());
}

// The dialog adds the chosen pair's extension itself, so that its question before
// replacing a file is asked about the file that will be written.
QString ShowSave(QWidget* owner, const FileDialogRequest& request, const QStringList& filters) {
    QFileDialog dialog(owner, QString(), request.initialFolder, filters.join(QStringLiteral(";;")));
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    const auto suffixOf = [&](const QString& nameFilter) {
        return FilterExtension(request.filter, int(filters.indexOf(nameFilter)) + 1);
    };
    const QString first = filters.value(request.filterIndex - 1);
    dialog.selectNameFilter(first);
    dialog.setDefaultSuffix(suffixOf(first));
    QObject::connect(&dialog, &QFileDialog::filterSelected, &dialog,
                     [&](const QString& chosen) { dialog.setDefaultSuffix(suffixOf(chosen)); });
    if (dialog.exec() != QDialog::Accepted) {
        return {};
    }
    return dialog.selectedFiles().value(0);
}

QString ShowModal(QWidget* owner, const FileDialogRequest& request) {
    const QStringList filters = DialogFilters(request.filter);
    if (request.action == FileDialogAction::Save) {
        return ShowSave(owner, request, filters);
    }
    QString selected = filters.value(request.filterIndex - 1);
    return QFileDialog::getOpenFileName(owner, QString(), request.initialFolder,
                                        filters.join(QStringLiteral(";;")), &selected);
}

FileDialogHandler& Handler() {
    static FileDialogHandler handler = ShowModal;
    return handler;
}

} // namespace

QStringList DialogFilters(const QString& filter) {
    const QStringList parts = filter.split('|');
    QStringList filters;
    for (int i = 0; i + 1 < parts.size(); i += 2) {
        const QString description = parts[i].trimmed();
        if (description.isEmpty()) {
            continue;
        }
        const QString patterns = QString(parts[i + 1]).replace(';', ' ').trimmed();
        // A description that already names its patterns in brackets keeps them.
        filters << (description.endsWith(')') ? description : description + " (" + patterns + ")");
    }
    return filters;
}

QString WithFilterExtension(const QString& path, const QString& filter, int pair) {
    if (path.isEmpty() || pair < 1 || HasExtension(path)) {
        return path;
    }
    const QString extension = FilterExtension(filter, pair);
    if (extension.isEmpty()) {
        return path;
    }
    // "name." takes the extension after its own dot.
    return (path.endsWith('.') ? path : path + '.') + extension;
}

QString ShowFileDialog(QWidget* owner, const FileDialogRequest& request) {
    // A copy: the handler may be replaced while the dialog is open.
    const FileDialogHandler handler = Handler();
    const QString path = handler(owner, request);
    // Whichever way the dialog was answered, a saved file keeps its extension.
    return request.action == FileDialogAction::Save
               ? WithFilterExtension(path, request.filter, request.filterIndex)
               : path;
}

ScopedFileDialogHandler::ScopedFileDialogHandler(FileDialogHandler handler) : previous_(Handler()) {
    Handler() = std::move(handler);
}

ScopedFileDialogHandler::~ScopedFileDialogHandler() {
    Handler() = std::move(previous_);
}

} // namespace ui
