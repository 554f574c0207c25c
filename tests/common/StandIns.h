#pragma once

#include <QObject>
#include <QString>
#include <gtest/gtest.h>
#include <memory>
#include <vector>

namespace testing_support {

// What a rig hands out for a control the window does not have: the asking test fails
// with the name, and a fresh object of the asked type, kept here, lets the rest of it
// run to its end without touching another test's stand-in.
class StandIns {
public:
    template <typename T> T& Missing(const QString& name) {
        ADD_FAILURE() << "no control " << name.toStdString();
        auto standIn = std::make_unique<T>();
        T& given = *standIn;
        kept_.push_back(std::move(standIn));
        return given;
    }

private:
    std::vector<std::unique_ptr<QObject>> kept_;
};

} // namespace testing_support
