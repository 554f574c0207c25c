#include "app/CommonDialog.h"

#include <QFileDialog>

namespace app {

namespace {

QString ShowModal(QWidget* owner, const FileDialogRequest& request) {
    const QStringList filters = DialogFilters(request.filter);
    QString selected = filters.value(request.filterIndex - 1);
    const QString joined = filters.join(QStringLiteral(";;"));
    if (request.action == FileDialogAction::Save) {
        return QFileDialog::getSaveFileName(owner, QString(), request.initialFolder, joined,
                                            &selected);
    }
    return QFileDialog::getOpenFileName(owner, QString(), request.initialFolder, joined, &selected);
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

QString ShowFileDialog(QWidget* owner, const FileDialogRequest& request) {
    // A copy: the handler may be replaced while the dialog is open.
    const FileDialogHandler handler = Handler();
    return handler(owner, request);
}

ScopedFileDialogHandler::ScopedFileDialogHandler(FileDialogHandler handler) : previous_(Handler()) {
    Handler() = std::move(handler);
}

ScopedFileDialogHandler::~ScopedFileDialogHandler() {
    Handler() = std::move(previous_);
}

} // namespace app
