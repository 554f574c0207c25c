#pragma once

// A staged program for the main-window tests: a temporary application tree with the
// shipped language files, a program context with fake port drivers, and the main window
// prepared and shown as the program's start does it.

#include "app/FrmLX735.h"
#include "app/PageServices.h"
#include "app/ProgramContext.h"
#include "app/StartUp.h"
#include "common/FillUnwired.h"
#include "common/MsgBoxCapture.h"
#include "common/TempTree.h"
#include "platform/FtdiFake.h"
#include "platform/SerialPosix.h"

#include <QCoreApplication>
#include <QFile>
#include <gtest/gtest.h>
#include <memory>

namespace app_tests {

inline QByteArray ShippedFile(const QString& relative) {
    return testing_support::ReadFixture(QStringLiteral(LX735_DATA_DIR "/") + relative);
}

// A dictionary file from its languages, each a name and its entries (CR LF, 8-bit).
inline QByteArray Dictionary(const QList<QPair<QString, QStringList>>& languages) {
    QByteArray bytes;
    for (const auto& [name, entries] : languages) {
        bytes += "###\r\n#" + name.toLatin1() + "\r\n";
        for (const QString& entry : entries) {
            bytes += entry.toLatin1() + "\r\n";
        }
    }
    return bytes;
}

class AppFixture : public ::testing::Test {
protected:
    AppFixture() {
        tree.Write("LNG/M3.diz", ShippedFile("LNG/M3.diz"));
        tree.Write("LNG/M3.con", "0\r\n");
        testing_support::FillUnwiredWithNothing(services);
    }

    // The start's preparation on the staged tree, then the window's load and show.
    void Start() {
        PrepareOnly();
        Load();
    }
    void PrepareOnly() {
        context =
            std::make_unique<app::ProgramContext>(std::make_unique<platform::PosixSerialPort>(),
                                                  std::make_unique<platform::FakeFtdiDriver>());
        damaged = app::PrepareProgram(*context, tree.Path("BIN"));
    }
    void Load() {
        window = std::make_unique<app::FrmLX735>(*context, services);
        window->Show();
    }

    QString CaptionOf(const QString& name) const;
    QWidget* Widget(const QString& name) const {
        return qobject_cast<QWidget*>(window->Control(name));
    }

    testing_support::TempTree tree;
    testing_support::MsgBoxCapture boxes;
    app::PageServices services;
    std::unique_ptr<app::ProgramContext> context;
    std::unique_ptr<app::FrmLX735> window;
    QList<app::DamagedFile> damaged; // what the preparation found
};

} // namespace app_tests
