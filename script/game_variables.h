#pragma once
// The game's integer and variant variables. Only what frame opening needs so far: the names, for
// the switches that work by the mere existence of a variable.

#include <QStringList>

namespace tv {

class GameVariables {
public:
    void clear() {
        integerNames_.clear();
        variantNames_.clear();
    }
    const QStringList& integerNames() const { return integerNames_; }
    const QStringList& variantNames() const { return variantNames_; }

private:
    QStringList integerNames_;
    QStringList variantNames_;
};

} // namespace tv
