#pragma once

#include "sim/SimConfig.h"

#include <QStringList>

#include <optional>

// The command line of velmor-sim: its options, the --help text and the configuration they make.
namespace SimCommandLine {

struct Outcome {
    std::optional<SimConfig> config; // nothing: stop (after --help, or on an error)
    QString message;                 // the help text, or what is wrong
    int exitCode = 0;
};

Outcome parse(const QStringList& arguments);

} // namespace SimCommandLine
