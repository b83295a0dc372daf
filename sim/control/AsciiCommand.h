#pragma once

#include <QByteArray>
#include <QByteArrayView>

#include <optional>

// One ASCII command of the control program: "#", a two-letter name, an optional argument and a
// closing "$", e.g. "#st1234.50$". The greeting alone closes with "$$": "#sh 10.0.0.2 9001$$".
struct AsciiCommand {
    static constexpr qsizetype MaxLength = 64;
    static constexpr char GreetingName[] = "sh";

    QByteArray name;     // the two letters after "#"
    QByteArray argument; // what stands between the name and the closing "$" or "$$"

    // Fails for anything that is not exactly such a command: no "#", fewer than two letters, a
    // "$" inside the argument, the greeting without its "$$" or another command with it, a
    // length above MaxLength, or bytes outside printable ASCII. why, when given, says which.
    static std::optional<AsciiCommand> parse(QByteArrayView datagram, QByteArray* why = nullptr);

    // The argument as a finite number in the C locale; nothing when it is empty or not a number.
    std::optional<double> number() const;
    std::optional<int> integer() const;
};
