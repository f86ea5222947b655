#pragma once
#include "meterlink/ReadingSource.h"
#include <QString>
#include <optional>

namespace cli {

// Holds samples back after a function command until a reading in that function has come: the
// meter goes on sending lines in its old function for a moment after the command, and those
// must not be logged as the asked one. Once such a reading has passed, every reading passes
// until arm() is called again (the command sent anew).
class FunctionGate : public meterlink::ReadingSource {
public:
    // functionCommand as the meter control window sends it ("VAC; FREQ2"); empty lets every
    // reading through.
    FunctionGate(meterlink::ReadingSource& source, const QString& functionCommand);

    void arm() { open_ = expected_.primary.isEmpty(); }
    std::optional<meterlink::ReadingValues> sampleReading() override;

private:
    struct Units {
        QString primary;                  // "DB" stands for any decibel unit
        std::optional<QString> secondary; // only for the dual functions
    };
    static Units unitsOf(const QString& functionCommand);
    bool matches(const meterlink::ReadingValues& reading) const;

    meterlink::ReadingSource& source_;
    Units expected_;
    bool open_ = true;
};

} // namespace cli
