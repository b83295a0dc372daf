#include "DatagramPeer.h"

#include <QHostAddress>
#include <QNetworkDatagram>
#include <QTextStream>
#include <QUdpSocket>

namespace datagram_peer {
namespace {

constexpr int kWaitMs = 5000;
constexpr int kUsageError = 2;
constexpr int kTimedOut = 3;

bool parsePort(const QString& text, quint16& port)
{
    bool ok = false;
    const uint value = text.toUInt(&ok);
    port = static_cast<quint16>(value);
    return ok && value > 0 && value <= 0xFFFF;
}

QNetworkDatagram awaitDatagram(QUdpSocket& socket)
{
    if (!socket.hasPendingDatagrams() && !socket.waitForReadyRead(kWaitMs))
        return {};
    return socket.receiveDatagram();
}

int echo(const QStringList& args)
{
    QTextStream out(stdout);
    quint16 port = 0;
    if (args.size() != 3 || !parsePort(args[2], port))
        return kUsageError;
    QUdpSocket socket;
    if (!socket.bind(QHostAddress::AnyIPv4, port)) {
        out << "bind failed: " << socket.errorString() << Qt::endl;
        return kUsageError;
    }
    out << "ready" << Qt::endl;
    const QNetworkDatagram datagram = awaitDatagram(socket);
    if (!datagram.isValid())
        return kTimedOut;
    const QByteArray payload = datagram.data();
    out << "from " << datagram.senderAddress().toString() << ' ' << payload << Qt::endl;
    socket.writeDatagram("echo " + payload, datagram.senderAddress(), static_cast<quint16>(datagram.senderPort()));
    socket.waitForBytesWritten(kWaitMs);
    return 0;
}

int probe(const QStringList& args)
{
    QTextStream out(stdout);
    quint16 port = 0;
    const QHostAddress target(args.value(2));
    if (args.size() != 5 || target.isNull() || !parsePort(args[3], port))
        return kUsageError;
    QUdpSocket socket;
    if (!socket.bind(QHostAddress::AnyIPv4, 0) || socket.writeDatagram(args[4].toUtf8(), target, port) < 0) {
        out << "send failed: " << socket.errorString() << Qt::endl;
        return kUsageError;
    }
    const QNetworkDatagram reply = awaitDatagram(socket);
    if (!reply.isValid())
        return kTimedOut;
    out << "reply from " << reply.senderAddress().toString() << ' ' << reply.data() << Qt::endl;
    return 0;
}

} // namespace

int run(const QStringList& args)
{
    const QString mode = args.value(1);
    if (mode == QLatin1String("echo"))
        return echo(args);
    if (mode == QLatin1String("probe"))
        return probe(args);
    return -1;
}

} // namespace datagram_peer
