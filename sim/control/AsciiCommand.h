#pragma once

#include <QByteArray>
#include <QByteArrayView>

#include <optional>

// One ASCII command of the control program: "#", a two-letter name, an optional argument and a
// closing "$" ("$$" after the subscription command), e.g. "#st1234.50$" or "#sh 10.0.0.2 9001$$".
struct AsciiCommand {
    static constexpr qsizetype MaxLength = 64;

    QByteArray name;     // the two letters after "#"
    QByteArray argument; // what stands between the name and the closing "$"

    // Fails for anything that is not such a command: no "#" or "$", fewer than two letters, a
    // length above MaxLength, or bytes outside printable ASCII.
    static std::optional<AsciiCommand> parse(QByteArrayView datagram);

    // The argument as a finite number in the C locale; nothing when it is empty or not a number.
    std::optional<double> number() const;
    std::optional<int> integer() const;
};
