#pragma once

// The main window with its live displays and the Configuration page against the
// simulated ECU on simulated time, with helpers to choose, answer and wait.

#include "LiveWindowRig.h"

#include "settings/ConfigPage.h"
#include "support/MessageBox.h"

#include <QComboBox>
#include <memory>
#include <vector>

namespace settings_test {

// Answers every box with answer while it lives, recording "<title>|<text>".
class Answer {
public:
    explicit Answer(int answer)
        : scope_([this, answer](const QString& prompt, int, const QString& title) {
              boxes.push_back(title + "|" + prompt);
              return answer;
          }) {}
    std::vector<QString> boxes;

private:
    support::ScopedMsgBoxHandler scope_;
};

// Made before the rig, so that the rig can make the page before the window loads.
struct PageHolder {
    std::unique_ptr<settings::ConfigPage> page;
};

class SettingsRig : protected PageHolder, public monitor_test::LiveWindowRig {
protected:
    SettingsRig();
    ~SettingsRig() override;

    // Runs the timers until the ECU is identified, read and shown on the page.
    void Connect();
    QComboBox& Combo(const QString& name) { return Get<QComboBox>(name); }
    // The installer's choice of the entry with that text in a combo of the window or of
    // the widget given.
    void Choose(QComboBox& combo, const QString& text);
    void Choose(const QString& combo, const QString& text) { Choose(Combo(combo), text); }
    // Every pending write of zones 2 and 3 made and read back.
    bool WrittenAndReadBack();
    QString Hex(const QByteArray& bytes, int offset, int count) const;
    // Runs the action once, at the next event pump of a wait.
    void AtNextPump(const std::function<void()>& action);

private:
    std::function<void()> once_;
};

} // namespace settings_test
