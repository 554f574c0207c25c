#include "support/MessageBox.h"

#include <QAbstractButton>
#include <QApplication>
#include <QMessageBox>
#include <QTimer>
#include <cstdio>

namespace support {

namespace {

QMessageBox::StandardButtons ButtonsOf(int style) {
    switch (style & 7) {
    case vbOKCancel:
        return QMessageBox::Ok | QMessageBox::Cancel;
    case vbYesNoCancel:
        return QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel;
    case vbYesNo:
        return QMessageBox::Yes | QMessageBox::No;
    default:
        return QMessageBox::Ok;
    }
}

QMessageBox::Icon IconOf(int style) {
    switch (style & 0x70) {
    case vbCritical:
        return QMessageBox::Critical;
    case vbQuestion:
        return QMessageBox::Question;
    case vbExclamation:
        return QMessageBox::Warning;
    case vbInformation:
        return QMessageBox::Information;
    default:
        return QMessageBox::NoIcon;
    }
}

int AnswerOf(int button) {
    switch (button) {
    case QMessageBox::Cancel:
        return vbCancel;
    case QMessageBox::Yes:
        return vbYes;
    case QMessageBox::No:
        return vbNo;
    default:
        return vbOK;
    }
}

// The buttons in the order the box lays them out on a desktop without a style of its own.
QList<QMessageBox::StandardButton> ButtonList(int style) {
    switch (style & 7) {
    case vbOKCancel:
        return {QMessageBox::Ok, QMessageBox::Cancel};
    case vbYesNoCancel:
        return {QMessageBox::Yes, QMessageBox::No, QMessageBox::Cancel};
    case vbYesNo:
        return {QMessageBox::Yes, QMessageBox::No};
    default:
        return {QMessageBox::Ok};
    }
}

int ShowModal(const QString& prompt, int style, const QString& title) {
    if (!qobject_cast<QApplication*>(QCoreApplication::instance())) {
        std::fprintf(stderr, "%s: %s\n", qPrintable(title), qPrintable(prompt));
        return (style & 7) == vbYesNo || (style & 7) == vbYesNoCancel ? vbNo : vbOK;
    }
    QMessageBox box(IconOf(style), title, prompt, ButtonsOf(style));
    if (style & vbDefaultButton2) {
        box.setDefaultButton((style & 7) == vbOKCancel ? QMessageBox::Cancel : QMessageBox::No);
    }
    KeepInFront(box);
    return AnswerOf(box.exec());
}

MsgBoxHandler& Handler() {
    static MsgBoxHandler handler = ShowModal;
    return handler;
}

} // namespace

QStringList ButtonTexts(int style) {
    if (!qobject_cast<QApplication*>(QCoreApplication::instance())) {
        return {};
    }
    QMessageBox box(QMessageBox::NoIcon, QString(), QString(), ButtonsOf(style));
    QStringList texts;
    for (const QMessageBox::StandardButton which : ButtonList(style)) {
        if (const QAbstractButton* button = box.button(which)) {
            texts << QString(button->text()).remove(u'&');
        }
    }
    return texts;
}

void KeepInFront(QWidget& box) {
    box.setWindowFlag(Qt::WindowStaysOnTopHint);
    box.setWindowModality(Qt::ApplicationModal);
    // Once shown: a window manager may have left another window active.
    QTimer::singleShot(0, &box, [&box] {
        box.raise();
        box.activateWindow();
    });
}

int MsgBox(const QString& prompt, int style, const QString& title) {
    // A copy: the handler may be replaced while the box is open.
    const MsgBoxHandler handler = Handler();
    return handler(prompt, style, title);
}

ScopedMsgBoxHandler::ScopedMsgBoxHandler(MsgBoxHandler handler) : previous_(Handler()) {
    Handler() = std::move(handler);
}

ScopedMsgBoxHandler::~ScopedMsgBoxHandler() {
    Handler() = std::move(previous_);
}

} // namespace support
