#pragma once

// The open and save dialogs of the program's files. Every one goes through a replaceable
// handler, so that tests can choose the file (or cancel) without a modal window.

#include <QString>
#include <functional>

class QWidget;

namespace ui {

enum class FileDialogAction { Open = 1, Save = 2 };

struct FileDialogRequest {
    FileDialogAction action = FileDialogAction::Open;
    QString initialFolder;
    // Pairs of description and patterns, each followed by "|":
    // "Mod Files (*.var)|*.var|".
    QString filter;
    int filterIndex = 1; // the pair shown first, from 1
};

// The chosen path, or "" when the dialog was cancelled.
using FileDialogHandler = std::function<QString(QWidget* owner, const FileDialogRequest& request)>;

QString ShowFileDialog(QWidget* owner, const FileDialogRequest& request);

// The filter in the dialog's own form: one "description (patterns)" entry a pair, the
// patterns separated by blanks.
QStringList DialogFilters(const QString& filter);

// The path of a Save answer with the extension of the pair's first pattern ("*.var" gives
// ".var") when its file name has none: a name typed bare would be written without it and
// never listed again by Open. A path that has one, and a pair of wildcards ("*.*"), stay.
// The pair counts from 1, as FileDialogRequest::filterIndex.
QString WithFilterExtension(const QString& path, const QString& filter, int pair);

// Installs a handler for its lifetime.
class ScopedFileDialogHandler {
public:
    explicit ScopedFileDialogHandler(FileDialogHandler handler);
    ~ScopedFileDialogHandler();
    ScopedFileDialogHandler(const ScopedFileDialogHandler&) = delete;
    ScopedFileDialogHandler& operator=(const ScopedFileDialogHandler&) = delete;
    // The handler it stands in for (a handler may pass a dialog on to it).
    const FileDialogHandler& Previous() const { return previous_; }

private:
    FileDialogHandler previous_;
};

} // namespace ui
