#include "SettingsRig.h"

#include "common/Wait.h"
#include "settings/ParamFileSend.h"

using testing_support::WaitFor;
using namespace std::chrono_literals;

namespace settings_test {

SettingsRig::SettingsRig()
    : LiveWindowRig([this] {
          page = std::make_unique<settings::ConfigPage>(*context, *window, services);
          monitor->hooks.FileParametriInvia = [this](const QString& path) {
              return settings::FileParametriInvia(
                  path, *context, services,
                  [this](const QString& c) { window->setWindowTitle(c); });
          };
      }) {
    const std::function<void()> timers = time.onPump;
    time.onPump = [this, timers] {
        if (once_) {
            const std::function<void()> action = std::move(once_);
            once_ = nullptr;
            action();
        }
        timers();
    };
}

SettingsRig::~SettingsRig() {
    page.reset();
}

void SettingsRig::Connect() {
    StartTimers();
    ASSERT_TRUE(WaitFor(
        [this] {
            const ecudata::EcuRequests& r = context->Requests;
            return r.FirmwareOk && !r.FirstReadPending && !r.RefreshPending &&
                   !context->Images.Mem3Changed && Combo("CmbSwtchTemp").currentIndex() >= 0;
        },
        60s))
        << "identified, read and shown";
}

void SettingsRig::Choose(QComboBox& combo, const QString& text) {
    const int index = combo.findText(text);
    ASSERT_GE(index, 0) << combo.objectName().toStdString() << " has no " << text.toStdString();
    combo.setCurrentIndex(index);
}

bool SettingsRig::WrittenAndReadBack() {
    return WaitFor(
        [this] {
            const ecudata::EcuRequests& r = context->Requests;
            return r.Mem3WriteCountdown == 0 && r.Mem2WriteCountdown == 0 && !r.ReqWriteMem3 &&
                   !r.ReqWriteMem2 && !r.ReqReadMem3 && !r.ReqReadMem2 && r.InjSetMode == 0;
        },
        60s);
}

QString SettingsRig::Hex(const QByteArray& bytes, int offset, int count) const {
    return QString::fromLatin1(bytes.mid(offset, count).toHex(' ').toUpper());
}

void SettingsRig::AtNextPump(const std::function<void()>& action) {
    once_ = action;
}

} // namespace settings_test
