#include "app/Slot.h"

#include <QtGlobal>

namespace app {

QStringList SlotTable::Unfilled() const {
    QStringList names;
    for (const SlotBase* slot : slots_) {
        if (!slot->Filled()) {
            names << QStringLiteral("%1::%2").arg(name_, slot->Name());
        }
    }
    return names;
}

SlotBase::SlotBase(SlotTable& table, const char* name) : table_(table), name_(name) {
    table.slots_.push_back(this);
}

void SlotBase::CalledUnfilled() const {
    qFatal("%s::%s was called, but the program never wired it", table_.TableName(), name_);
}

} // namespace app
