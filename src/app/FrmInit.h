#pragma once

// The port-search splash: a small notice, owned by the main window, that tells the
// installer the program is looking for the ECU ("SEARCH COM") or waiting for its first
// complete read, with a bar bouncing under the text so the program visibly lives. The
// main window loads it once; the poll timer calls ElaboraMsgCom at every tick, which
// alone decides when it shows.

#include <QTimer>
#include <QWidget>
#include <array>

class QFrame;
class QLabel;

namespace app {

struct ProgramContext;

class FrmInit : public QWidget {
public:
    FrmInit(ProgramContext& context, QWidget* owner);

    // The message type: 0 waiting for the first read, 1 the second text, 3 searching.
    // Other values are ignored.
    qint32 TipoMessaggio() const { return tipoMessaggio_; }
    void TipoMessaggio(qint32 type);

    // Shows or hides the window from the off-line mode, the port search and the first
    // read.
    void ElaboraMsgCom();

    void Form_Load();
    // One step of the bar (every 100 ms while shown).
    void Timer1_Timer();
    QTimer& Timer1() { return timer1_; }
    // The text a type shows ("" for a type without one).
    QString MessageText(qint32 type) const;

private:
    static bool HasText(qint32 type);
    void LoadInitTexts();

    ProgramContext& ctx_;
    QLabel* lblBackGrd_ = nullptr;
    QLabel* label1_ = nullptr; // the bar's track
    QFrame* shape1_ = nullptr; // the bar
    QLabel* lblMsg_ = nullptr;
    QTimer timer1_;
    std::array<QString, 4> texts_; // by message type; type 2 has none
    qint32 tipoMessaggio_ = 0;
    bool movingLeft_ = false;
};

} // namespace app
