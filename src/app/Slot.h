#pragma once

// The slots of the callback tables through which a lower library calls up into the
// libraries above it (app::PageServices, monitor::MonitorHooks). A slot starts unfilled,
// and called so it stops the program with its table's name and its own: a call that
// nobody wired is a fault of the program's composition and must never pass as done. A
// table lists the slots still unfilled, so a test of the composition names any it forgot.

#include <QStringList>
#include <functional>
#include <utility>
#include <vector>

namespace app {

class SlotBase;

// What a table derives from: its slots register here as they are made, in their order.
// Neither copied nor moved, since the slots refer to it.
class SlotTable {
public:
    explicit SlotTable(const char* name) : name_(name) {}
    SlotTable(const SlotTable&) = delete;
    SlotTable& operator=(const SlotTable&) = delete;

    const char* TableName() const { return name_; }
    const std::vector<SlotBase*>& Slots() const { return slots_; }
    // "Table::Slot" of every slot not filled, in their order; empty when all are.
    QStringList Unfilled() const;

private:
    friend class SlotBase;
    const char* name_;
    std::vector<SlotBase*> slots_;
};

class SlotBase {
public:
    SlotBase(const SlotBase&) = delete;
    SlotBase& operator=(const SlotBase&) = delete;

    const char* Name() const { return name_; }
    bool Filled() const { return filled_; }
    // An explicit do-nothing answering its result type's zero (False, 0): what a page
    // puts back when it goes, and what a test rig gives the slots its part of the
    // program leaves unwired.
    virtual void FillWithNothing() = 0;

protected:
    SlotBase(SlotTable& table, const char* name);
    ~SlotBase() = default;
    [[noreturn]] void CalledUnfilled() const;

    bool filled_ = false;

private:
    const SlotTable& table_;
    const char* name_;
};

template <typename Signature> class Slot;

template <typename R, typename... Args> class Slot<R(Args...)> final : public SlotBase {
public:
    using Function = std::function<R(Args...)>;

    Slot(SlotTable& table, const char* name) : SlotBase(table, name) {}

    Slot& operator=(Function function) {
        function_ = std::move(function);
        filled_ = static_cast<bool>(function_);
        return *this;
    }

    R operator()(Args... args) const {
        if (!function_) {
            CalledUnfilled();
        }
        return function_(std::forward<Args>(args)...);
    }

    void FillWithNothing() override {
        *this = [](Args...) { return R(); };
    }

private:
    Function function_;
};

} // namespace app

// Declares the slot Name of the table being defined, known by its own name; the
// signature comes last (it may hold commas).
// clang-format off
#define APP_SLOT(Name, ...) ::app::Slot<__VA_ARGS__> Name{*this, #Name}
// clang-format on
