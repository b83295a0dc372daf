#pragma once

#include "SimulatorProcess.h"

#include <QStringList>

// What arrived at one link of the simulator, as it logged it: command texts, and parameter
// packets as "p<code>/<operation>" or (bytes) their hexadecimal bytes.
inline QStringList arrivals(const SimulatorProcess& sim, const QString& link, bool bytes = false)
{
    QStringList out;
    for (const QJsonObject& line : sim.log()) {
        if (line.value("link").toString() != link || line.value("dir").toString() != "in")
            continue;
        const QString kind = line.value("kind").toString();
        if (kind == "ascii")
            out.append(line.value("text").toString());
        else if (kind == "ParameterPacket")
            out.append(bytes ? line.value("hex").toString()
                             : QString("p%1/%2").arg(line.value("code").toInt()).arg(line.value("operation").toInt()));
    }
    return out;
}
