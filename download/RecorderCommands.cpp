#include "download/RecorderCommands.h"

#include "common/packets/ParameterCodes.h"

namespace RecorderCommands {

namespace {

ParameterPacket query(quint8 code, quint8 form, quint32 word)
{
    ParameterPacket packet;
    packet.code = code;
    packet.form = form;
    packet.operation = ParameterPacket::Query;
    packet.word = word;
    return packet;
}

} // namespace

// The recorder reads only the form and the word of the announcement; the code stays 0.
ParameterPacket portAnnouncement(quint16 discoveryPort)
{
    return query(0, ParameterPacket::PortAnnouncement, discoveryPort);
}

ParameterPacket updatePaintOptions()
{
    return query(ParameterCode::PaintOptions, ParameterPacket::ValueInWord, 0);
}

ParameterPacket fetchMatrices()
{
    return query(ParameterCode::ColourMatrices, ParameterPacket::PayloadFollows, 0);
}

} // namespace RecorderCommands
