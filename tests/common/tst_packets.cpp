#include "common/packets/ClipInfoPacket.h"
#include "common/packets/ColorMatrixTable.h"
#include "common/packets/DiscoveryRequest.h"
#include "common/packets/OutputStatePacket.h"
#include "common/packets/PacketMagic.h"
#include "common/packets/ParameterPacket.h"
#include "common/packets/RecorderInfoPacket.h"
#include "common/packets/TransferPackets.h"

#include <QRandomGenerator>
#include <QtTest>

using namespace kvx;

namespace {

QByteArray hex(const char* text)
{
    return QByteArray::fromHex(QByteArray(text).replace(' ', ""));
}

// Runs every decoder over data; they must refuse or accept it without reading past its end.
void decodeWithEveryDecoder(QByteArrayView data)
{
    DiscoveryRequest::decode(data);
    RecorderInfoPacket::decode(data);
    ParameterPacket::decode(data);
    OutputStatePacket::decode(data);
    ClipInfoPacket::decode(data);
    TxDataRequest::decode(data);
    TxDataRequest::decodeHead(data);
    TxMissingList::decode(data);
    TxPacketHead::decode(reinterpret_cast<const uchar*>(data.data()), data.size());
    TxEvent::decode(data);
    TxStatus::decode(data);
}

ClipInfoPacket::clipInfo sampleClip(quint16 number)
{
    ClipInfoPacket::clipInfo c;
    c.cameraSerial = 2901180001u;
    c.totalFrames = 1000;
    c.clipUid = 0x1122334455667788ull;
    c.frameBytes = 0;
    c.fps = 1000.0f;
    c.lineBytes = 2048;
    c.lineCount = 1080;
    c.width = 2048;
    c.height = 1080;
    c.clipNumber = number;
    c.clipVersion = 3;
    return c;
}

} // namespace

class TestPackets : public QObject {
    Q_OBJECT
private slots:
    void discoveryRequestBytes()
    {
        DiscoveryRequest request{47915};
        QCOMPARE(request.encode(), hex("07 00 CD AB 2B BB 00 00"));
        const auto decoded = DiscoveryRequest::decode(hex("07 00 CD AB 2C BB 00 00"));
        QVERIFY(decoded);
        QCOMPARE(decoded->replyPort, quint16(47916));
        QVERIFY(!DiscoveryRequest::decode(hex("07 00 CD AB 2B BB 00")));
        QVERIFY(!DiscoveryRequest::decode(hex("06 00 CD AB 2B BB 00 00")));
    }

    void recorderInfoDefaultsAndLayout()
    {
        RecorderInfoPacket info;
        QCOMPARE(info.encode(),
                 hex("06 00 CD AB 07 00 00 00 00 00 00 00 00 00 00 00 20 10 17 20 00 00 00 00"
                     "E0 04 B0 02 00 00 00 00 01 00 00 00"
                     "00 00 00 00 00 00 00 00 00 00 28 23 28 23 01 11 01 11 00 00"));

        info.recorderId = 0x00000001002143A2ull; // serial 2180002 in the low half
        info.cameraSerial = 2901180001u;
        info.cameraModel = 1;
        info.ethernet.ip = {192, 168, 130, 70};
        info.ethernet.commandPort = 9001;
        info.ethernet.transferPort = 4354;
        info.ethernet.linkFlags = 0x11;
        const QByteArray bytes = info.encode();
        QCOMPARE(bytes.size(), 56);
        QCOMPARE(bytes.mid(8, 8), hex("A2 43 21 00 01 00 00 00"));
        QCOMPARE(bytes.mid(42, 4), hex("C0 A8 82 46")); // address most significant byte first
        QCOMPARE(bytes.mid(46, 2), hex("29 23"));
        QCOMPARE(bytes.mid(52, 2), hex("02 11"));
        QCOMPARE(quint8(bytes[54]), quint8(0x11));

        const auto back = RecorderInfoPacket::decode(bytes + QByteArray(100, 'x'));
        QVERIFY(back);
        QCOMPARE(*back, info);
        QCOMPARE(back->serialNumber(), 2180002u);
        QCOMPARE(back->ethernet.linkCode(), 1);
        QVERIFY(back->ethernet.carriesTransfers());
        QCOMPARE(back->ethernet.address(), QHostAddress(QStringLiteral("192.168.130.70")));
    }

    void recorderInfoLinkCodes()
    {
        RecorderInfoPacket::EthernetInfo e;
        e.linkFlags = 0x00;
        QCOMPARE(e.linkCode(), 0);
        e.linkFlags = 0x21; // code 2, carries transfers
        QCOMPARE(e.linkCode(), 2);
        QVERIFY(e.carriesTransfers());
        e.linkFlags = 0x8E; // bits outside the code and the transfer bit
        QCOMPARE(e.linkCode(), 0);
        QVERIFY(!e.carriesTransfers());
        e.setAddress(QHostAddress(QStringLiteral("10.1.2.3")));
        QCOMPARE(e.ip, (std::array<quint8, 4>{10, 1, 2, 3}));
    }

    void shortRecorderInfoIsRejected()
    {
        const QByteArray bytes = RecorderInfoPacket().encode();
        QVERIFY(!RecorderInfoPacket::decode(bytes.left(55)));
        QVERIFY(!RecorderInfoPacket::decode(bytes.left(4)));
        QVERIFY(!RecorderInfoPacket::decode(QByteArrayView()));
        QVERIFY(RecorderInfoPacket::decode(bytes));
    }

    void parameterPackets()
    {
        // The clips manager's three first-contact packets.
        ParameterPacket port{0, ParameterPacket::PortAnnouncement, ParameterPacket::Query, 47915, {}};
        QCOMPARE(port.encode(), hex("04 00 CD AB 00 02 02 00 2B BB 00 00"));
        ParameterPacket paint{26, ParameterPacket::ValueInWord, ParameterPacket::Query, 0, {}};
        QCOMPARE(paint.encode(), hex("04 00 CD AB 1A 00 02 00 00 00 00 00"));
        ParameterPacket matrices{15, ParameterPacket::PayloadFollows, ParameterPacket::Query, 0, {}};
        QCOMPARE(matrices.encode(), hex("04 00 CD AB 0F 01 02 00 00 00 00 00"));

        const auto reply = ParameterPacket::decode(hex("04 00 CD AB 0F 01 03 00 03 00 00 00 AA BB CC DD"));
        QVERIFY(reply);
        QCOMPARE(reply->code, quint8(15));
        QCOMPARE(reply->operation, quint16(ParameterPacket::Reply));
        // The payload is what the datagram holds after the head, whatever the word says.
        QCOMPARE(reply->word, 3u);
        QCOMPARE(reply->payload, hex("AA BB CC DD"));
        QCOMPARE(ParameterPacket::decode(hex("04 00 CD AB 0F 01 03 00 05 00 00 00 AA BB"))->payload, hex("AA BB"));
        QCOMPARE(ParameterPacket::decode(hex("04 00 CD AB 0F 01 03 00 FF FF FF FF"))->payload, QByteArray());
        QVERIFY(!ParameterPacket::decode(hex("04 00 CD AB 0F 01 03 00 00 00 00")));
    }

    void colourMatrixRecordAndTable()
    {
        // 5600 K, matrix 1..9, extras 10..12: little-endian fields one after the other.
        ColorMatrixRecord r;
        r.temperature = 5600;
        r.matrix = {1, 2, 3, 4, 5, 6, 7, 8, 9};
        r.extra = {10, 11, 12};
        const QByteArray record = r.encode();
        QCOMPARE(record.size(), 52);
        QCOMPARE(record.left(12).toHex(), QByteArray("e01500000000803f00000040"));
        QCOMPARE(record.mid(48).toHex(), QByteArray("00004041"));
        QCOMPARE(ColorMatrixRecord::decode(record), r);
        QVERIFY(!ColorMatrixRecord::decode(record.left(51)));

        // The table: count, value, then the records.
        ColorMatrixTable table;
        table.value = 0x01020304;
        table.records = {r, r};
        const QByteArray payload = table.encode();
        QCOMPARE(payload.left(8), hex("02 00 00 00 04 03 02 01"));
        QCOMPARE(payload.mid(8), record + record);
        QCOMPARE(*ColorMatrixTable::decode(payload), table);
    }

    void outputState()
    {
        OutputStatePacket state;
        for (int i = 0; i < OutputStatePacket::ValueCount; ++i)
            state.values[size_t(i)] = qint16(i * 100 - 1000);
        const QByteArray bytes = state.encode();
        QCOMPARE(bytes.size(), 56);
        QCOMPARE(bytes.left(6), hex("05 00 CD AB 18 FC")); // value 0 is -1000
        QCOMPARE(*OutputStatePacket::decode(bytes), state);
        QVERIFY(!OutputStatePacket::decode(bytes.left(55)));
    }

    void clipInfoLayout()
    {
        ClipInfoPacket packet;
        packet.listId = 0x1234;
        packet.totalClips = 3;
        packet.listTag = 9;
        packet.entries = {sampleClip(0), sampleClip(1)};
        packet.entries[1].flags = ClipInfoPacket::clipInfo::ExplicitFrameBytesFlag;
        packet.entries[1].frameBytes = 5000000;
        const QByteArray bytes = packet.encode();
        QCOMPARE(bytes.size(), 16 + 2 * 48);
        QCOMPARE(bytes.left(16), hex("02 00 CD AB 00 00 34 12 03 00 02 00 09 00 00 00"));
        // First entry: serial, unnamed, total frames, uid, frame bytes, fps 1000.0f.
        QCOMPARE(bytes.mid(16, 32),
                 hex("61 7E EC AC 00 00 00 00 E8 03 00 00 00 00 00 00"
                     "88 77 66 55 44 33 22 11 00 00 00 00 00 00 7A 44"));
        QCOMPARE(bytes.mid(48, 16), hex("00 00 00 00 00 08 38 04 00 08 38 04 00 00 03 00"));

        const auto back = ClipInfoPacket::decode(bytes);
        QVERIFY(back);
        QCOMPARE(back->listId, quint16(0x1234));
        QCOMPARE(back->totalClips, quint16(3));
        QCOMPARE(back->listTag, quint16(9));
        QCOMPARE(back->entries, packet.entries);
        QVERIFY(back->entries[0].sameClip(sampleClip(0)));
        QVERIFY(!back->entries[0].sameClip(sampleClip(1)));
    }

    void shortClipInfoIsRejected()
    {
        ClipInfoPacket packet;
        packet.totalClips = 2;
        packet.entries = {sampleClip(0), sampleClip(1)};
        const QByteArray bytes = packet.encode();
        QVERIFY(!ClipInfoPacket::decode(bytes.left(bytes.size() - 1)));
        QVERIFY(!ClipInfoPacket::decode(bytes.left(15)));
        const auto head = ClipInfoPacket::decodeHead(bytes.left(16));
        QVERIFY(head);
        QCOMPARE(head->clipCount, quint16(2));
    }

    void transferRequestLayout()
    {
        TxDataRequest request;
        request.chunkId = 65535;
        request.slot = 1;
        request.payloadSize = 8952;
        request.packetCount = 12;
        request.flags = 1;
        request.paddedSize = 8952 * 12;
        request.firstFrame = 10;
        request.lastFrame = 19;
        request.clipNumber = 4;
        const QByteArray bytes = request.encode();
        QCOMPARE(bytes.size(), 64);
        QCOMPARE(bytes.left(52),
                 hex("FD 0F CD AB 02 00 00 00 FF FF 00 00 00 00 00 00 01 00 00 00 00 00 00 00"
                     "F8 22 00 00 0C 00 00 00 01 00 00 00 A0 A3 01 00 0A 00 00 00 13 00 00 00"
                     "04 00 00 00"));
        QCOMPARE(bytes.mid(52), QByteArray(12, '\0'));
        QCOMPARE(*TxDataRequest::decode(bytes), request);

        const QByteArray query = request.encodeStatusQuery();
        QCOMPARE(query, hex("FD 0F CD AB 00 00 00 00 FF FF 00 00 00 00 00 00 01 00 00 00 00 00 00 00"));
        const auto head = TxDataRequest::decodeHead(query);
        QVERIFY(head);
        QCOMPARE(head->type, quint32(TxDataRequest::StatusQuery));
        QVERIFY(!TxDataRequest::decode(query)); // a status query is not a whole data request
    }

    void missingListLayout()
    {
        TxMissingList list;
        list.request.chunkId = 7;
        list.request.slot = 0;
        list.last = true;
        list.indexes = {3, 4, 4999};
        const QByteArray bytes = list.encode();
        QCOMPARE(bytes.size(), 32 + 12);
        QCOMPARE(bytes.left(8), hex("FD 0F CD AB 03 00 00 00"));
        QCOMPARE(bytes.mid(24), hex("03 00 00 00 01 00 00 00 03 00 00 00 04 00 00 00 87 13 00 00"));
        const auto back = TxMissingList::decode(bytes);
        QVERIFY(back);
        QCOMPARE(back->indexes, list.indexes);
        QVERIFY(back->last);
        QCOMPARE(back->request.chunkId, quint64(7));
        // A count larger than the indexes present is refused.
        QVERIFY(!TxMissingList::decode(bytes.left(bytes.size() - 1)));
        QByteArray lying = bytes;
        lying[24] = char(0xFF);
        lying[25] = char(0xFF);
        lying[26] = char(0xFF);
        lying[27] = char(0xFF);
        QVERIFY(!TxMissingList::decode(lying));
    }

    void dataPacketHead()
    {
        const TxPacketHead head{4999, 0x0000BEEF12345678ull};
        uchar bytes[TxPacketHead::Size];
        head.encodeInto(bytes);
        QCOMPARE(QByteArray(reinterpret_cast<const char*>(bytes), 14),
                 hex("FF 0F CD AB 87 13 00 00 78 56 34 12 EF BE"));
        const auto back = TxPacketHead::decode(bytes, 14);
        QVERIFY(back);
        QCOMPARE(back->index, 4999u);
        QCOMPARE(back->chunkId, 0x0000BEEF12345678ull);
        QVERIFY(!TxPacketHead::decode(bytes, 13));
        QVERIFY(!TxPacketHead::decode(nullptr, 0));
    }

    void eventsAndStatus()
    {
        const TxEvent event{TxEvent::Error, 0x1234, 1, 2};
        const QByteArray eventBytes = event.encode();
        QCOMPARE(eventBytes, hex("FD 0F CD AB 06 00 00 00 34 12 00 00 00 00 00 00 01 00 00 00 02 00 00 00"));
        const auto e = TxEvent::decode(eventBytes);
        QVERIFY(e);
        QCOMPARE(e->errorCode, 2u);
        QVERIFY(!TxEvent::decode(eventBytes.left(23)));

        const TxStatus status{3, 0x0000000100000002ull, 1};
        const QByteArray statusBytes = status.encode();
        QCOMPARE(statusBytes.left(14), hex("FE 0F CD AB 03 00 00 00 02 00 00 00 01 00"));
        QCOMPARE(statusBytes.mid(24, 4), hex("01 00 00 00"));
        const auto s = TxStatus::decode(statusBytes);
        QVERIFY(s);
        QCOMPARE(s->chunkId, 0x0000000100000002ull);
        QCOMPARE(s->slot, 1u);
        QVERIFY(!TxStatus::decode(statusBytes.left(27)));
    }

    void magicPeek()
    {
        QCOMPARE(peekMagic(hex("06 00 CD AB")).value(), magic::RecorderInfo);
        QVERIFY(!peekMagic(hex("06 00 CD")));
    }

    // Every prefix of every valid packet, and random bytes behind each magic, must be handled
    // without reading past the datagram (the sanitizer build turns an overrun into a failure).
    void truncatedAndRandomDatagrams()
    {
        ClipInfoPacket clips;
        clips.totalClips = 1;
        clips.entries = {sampleClip(5)};
        TxMissingList missing;
        missing.indexes = {1, 2, 3};
        const QList<QByteArray> valid = {DiscoveryRequest{1}.encode(),
                                         RecorderInfoPacket().encode(),
                                         ParameterPacket{15, 1, 3, 4, "abcd"}.encode(),
                                         OutputStatePacket().encode(),
                                         clips.encode(),
                                         TxDataRequest().encode(),
                                         missing.encode(),
                                         TxEvent{}.encode(),
                                         TxStatus{}.encode()};
        for (const QByteArray& packet : valid) {
            for (qsizetype n = 0; n <= packet.size(); ++n) {
                const QByteArray prefix = packet.left(n); // a copy, so overruns hit the heap end
                decodeWithEveryDecoder(prefix);
            }
        }
        QRandomGenerator random(1234);
        const quint32 magics[] = {magic::ClipInfo, magic::Parameter, magic::TxRequest,
                                  magic::TxStatus, magic::TxPacket,  magic::RecorderInfo};
        for (int i = 0; i < 5000; ++i) {
            QByteArray junk(int(random.bounded(0, 80)), '\0');
            for (char& c : junk)
                c = char(random.bounded(256));
            if (junk.size() >= 4) {
                const quint32 m = magics[random.bounded(int(std::size(magics)))];
                qToLittleEndian(m, junk.data());
            }
            decodeWithEveryDecoder(junk);
        }
    }
};

QTEST_GUILESS_MAIN(TestPackets)
#include "tst_packets.moc"
