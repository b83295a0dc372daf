#include "FakeClipStore.h"

#include "common/packets/FirmwarePackets.h"
#include "common/packets/IpChangeDatagram.h"
#include "common/packets/OutputStatePacket.h"
#include "common/packets/PacketMagic.h"
#include "common/packets/ParameterCodes.h"
#include "common/packets/ParameterPacket.h"
#include "common/packets/RecorderInfoPacket.h"
#include "common/packets/StatusPacket.h"
#include "sim/control/ControlResponder.h"

#include <QRandomGenerator>
#include <QSignalSpy>
#include <QtTest>

namespace {

const QHostAddress Program(QStringLiteral("127.0.0.1"));
constexpr quint16 ProgramPort = 9001;
constexpr quint64 RecorderId = 0x00000001002143A2ull;

kvx::RecorderInfoPacket recorderInfo()
{
    kvx::RecorderInfoPacket info;
    info.recorderId = RecorderId;
    info.cameraSerial = 2901180001u;
    info.ethernet.setAddress(QHostAddress(QStringLiteral("127.0.0.1")));
    return info;
}

QByteArray typed(quint8 code, const QByteArray& payload)
{
    return ParameterPacket{code, ParameterPacket::PayloadFollows, ParameterPacket::Set, quint32(payload.size()),
                           payload}
        .encode();
}

QByteArray u64Bytes(quint64 value)
{
    QByteArray out(8, '\0');
    kvx::wire::Writer(out).u64(0, value);
    return out;
}

QByteArray query(quint8 code)
{
    return ParameterPacket{code, ParameterPacket::PayloadFollows, ParameterPacket::Query, 0, {}}.encode();
}

// A recorder with a hand-moved clock and one subscribed control program.
struct Rig {
    qint64 now = 1000;
    FakeClipStore store;
    ControlResponder responder{store, recorderInfo(), {}, [this] { return now; }};

    QList<SimDatagram> send(QByteArrayView bytes) { return responder.handle(bytes, Program, ProgramPort); }
    StatusPacket status() { return responder.currentStatus(); }
    void subscribe() { send("#sh 127.0.0.1 9001$$"); }

    // The payload of the single reply a query gets, checking that it answers the asker.
    QByteArray reply(quint8 code)
    {
        const QList<SimDatagram> out = send(query(code));
        if (out.size() != 1 || out[0].to != Program || out[0].port != ProgramPort)
            return QByteArray("no single reply");
        const auto packet = ParameterPacket::decode(out[0].bytes);
        if (!packet || packet->code != code || packet->operation != ParameterPacket::Reply)
            return QByteArray("not a reply");
        return packet->payload;
    }
};

QList<quint32> magicsOf(const QList<SimDatagram>& datagrams)
{
    QList<quint32> magics;
    for (const SimDatagram& d : datagrams)
        magics.append(kvx::peekMagic(d.bytes).value_or(0));
    return magics;
}

} // namespace

class TestControlResponder : public QObject {
    Q_OBJECT
private slots:
    void subscriptionSendsRecordsThenPeriodicStatus()
    {
        Rig rig;
        QSignalSpy added(&rig.responder, &ControlResponder::subscriberAdded);
        const QList<SimDatagram> first = rig.send("#sh 127.0.0.1 9001$$");
        QCOMPARE(magicsOf(first),
                 (QList<quint32>{kvx::magic::Status, kvx::magic::RecorderInfo, kvx::magic::OutputState}));
        for (const SimDatagram& d : first) {
            QCOMPARE(d.to, Program);
            QCOMPARE(d.port, ProgramPort);
        }
        QCOMPARE(first[0].bytes.size(), StatusPacket::Size);
        QCOMPARE(added.size(), 1);
        QCOMPARE(added[0][1].value<quint16>(), ProgramPort);

        // Subscribing again (a reopened link) is answered again but not counted twice.
        rig.send("#sh 127.0.0.1 9001$$");
        QCOMPARE(rig.responder.subscribers().size(), 1);
        QCOMPARE(added.size(), 2);

        // Only the status repeats unless the repetition of the records is asked for.
        for (int period = 0; period < 20; ++period)
            QCOMPARE(magicsOf(rig.responder.periodic()), QList<quint32>{kvx::magic::Status});
        FakeClipStore store;
        ControlResponder repeating(store, recorderInfo(), ControlResponderOptions{3, 3000, {}});
        repeating.handle("#sh 127.0.0.1 9001$$", Program, ProgramPort);
        repeating.periodic();
        repeating.periodic();
        QCOMPARE(magicsOf(repeating.periodic()),
                 (QList<quint32>{kvx::magic::Status, kvx::magic::RecorderInfo, kvx::magic::OutputState}));

        // Closing the link with the stop word ends the stream to that program only.
        rig.responder.handle("#sh 127.0.0.1 9002$$", Program, 9002);
        rig.send(typed(ParameterCode::ControlWord, u64Bytes(ControlWord::CloseLinks)));
        QCOMPARE(rig.responder.subscribers().size(), 1);
        QCOMPARE(rig.responder.subscribers()[0].port, quint16(9002));
    }

    void badSubscriptionsAreIgnored_data()
    {
        QTest::addColumn<QByteArray>("command");
        QTest::newRow("no port") << QByteArray("#sh 127.0.0.1$$");
        QTest::newRow("port 0") << QByteArray("#sh 127.0.0.1 0$$");
        QTest::newRow("port too large") << QByteArray("#sh 127.0.0.1 70000$$");
        QTest::newRow("not an address") << QByteArray("#sh recorder 9001$$");
        QTest::newRow("extra field") << QByteArray("#sh 127.0.0.1 9001 5$$");
        QTest::newRow("no closing") << QByteArray("#sh 127.0.0.1 9001");
    }
    void badSubscriptionsAreIgnored()
    {
        QFETCH(QByteArray, command);
        Rig rig;
        QVERIFY(rig.send(command).isEmpty());
        QVERIFY(rig.responder.subscribers().isEmpty());
    }

    // What a control program may not send is refused and reported, so a test against the
    // simulator sees a program that sends anything but the exact forms.
    void refusesWhatAProgramMayNotSend_data()
    {
        QTest::addColumn<QByteArray>("datagram");
        QTest::newRow("greeting with one $") << QByteArray("#sh 127.0.0.1 9001$");
        QTest::newRow("greeting with $$$") << QByteArray("#sh 127.0.0.1 9001$$$");
        QTest::newRow("IPv6 greeting") << QByteArray("#sh ::1 9001$$");
        QTest::newRow("shorthand address") << QByteArray("#sh 127.1 9001$$");
        QTest::newRow("three numbers") << QByteArray("#sh 1.2.3 9001$$");
        QTest::newRow("part above 255") << QByteArray("#sh 127.0.0.256 9001$$");
        QTest::newRow("two spaces") << QByteArray("#sh  127.0.0.1 9001$$");
        QTest::newRow("limited broadcast") << QByteArray("#sh 255.255.255.255 9001$$");
        QTest::newRow("subnet broadcast") << QByteArray("#sh 10.77.41.255 9001$$");
        QTest::newRow("unspecified") << QByteArray("#sh 0.0.0.0 9001$$");
        QTest::newRow("command with $$") << QByteArray("#ss$$");
        QTest::newRow("$ inside") << QByteArray("#sl1$2$");
        QTest::newRow("form 0 query") << ParameterPacket{
            ParameterCode::Genlock,
            ParameterPacket::ValueInWord,
            ParameterPacket::Query,
            0,
            {}}.encode();
        QTest::newRow("query with a word") << ParameterPacket{ParameterCode::Genlock, ParameterPacket::PayloadFollows,
                                                              ParameterPacket::Query, 8, QByteArray(8, '\0')}
                                                  .encode();
        QTest::newRow("payload longer than the code's") << typed(ParameterCode::SdiSelection, QByteArray(2, '\1'));
        QTest::newRow("payload shorter than the code's") << typed(ParameterCode::FrameRate, QByteArray(4, '\1'));
        QTest::newRow("bytes after the payload") << typed(ParameterCode::Genlock, u64Bytes(0xB0)) + "x";
        QTest::newRow("paint value with a tail")
            << ParameterPacket{3, ParameterPacket::ValueInWord, ParameterPacket::Set, 5, QByteArray(4, '\0')}.encode();
        QTest::newRow("firmware record with missing data")
            << typed(ParameterCode::FirmwareCommand, kvx::FirmwareProgramCommand{0, 0, 4, 2}.encode("abcd").left(15));
        QTest::newRow("IP change with a tail") << IpChangeDatagram{1, RecorderId}.encode() + "x";
    }
    void refusesWhatAProgramMayNotSend()
    {
        QFETCH(QByteArray, datagram);
        Rig rig;
        rig.responder.setBroadcastAddresses({QHostAddress(QStringLiteral("10.77.41.255"))});
        QSignalSpy refused(&rig.responder, &ControlResponder::refused);
        const StatusPacket before = rig.status();
        QVERIFY(rig.send(datagram).isEmpty());
        QCOMPARE(refused.size(), 1);
        QVERIFY(rig.responder.subscribers().isEmpty());
        QCOMPARE(rig.status(), before);

        // The exact forms pass without a refusal.
        rig.subscribe();
        rig.send(ParameterPacket{ParameterCode::Genlock, ParameterPacket::PayloadFollows, ParameterPacket::Query, 0, {}}
                     .encode());
        rig.send(typed(ParameterCode::SdiSelection, QByteArray(1, '\1')));
        rig.send(kvx::FirmwareProgramCommand{0, 0, 0, kvx::FirmwareProgramCommand::InitUpload}.encode().prepend(
            ParameterPacket{
                ParameterCode::FirmwareCommand, ParameterPacket::PayloadFollows, ParameterPacket::Set, 13, {}}
                .encode()));
        QCOMPARE(refused.size(), 1);
        QCOMPARE(rig.responder.subscribers().size(), 1);
    }

    // A multicast greeting names the group; the stop word comes from the program's own address.
    void closingStopsAMulticastStream()
    {
        Rig rig;
        rig.send("#sh 239.255.42.99 9001$$");
        rig.responder.handle("#sh 127.0.0.1 9002$$", Program, 9002); // another program
        QCOMPARE(rig.responder.subscribers().size(), 2);
        rig.send(typed(ParameterCode::ControlWord, u64Bytes(ControlWord::CloseLinks)));
        QCOMPARE(rig.responder.subscribers().size(), 1);
        QCOMPARE(rig.responder.subscribers()[0].port, quint16(9002));
    }

    void subscribersAreBounded()
    {
        Rig rig;
        for (int i = 0; i < ControlResponder::MaxSubscribers + 3; ++i)
            rig.send(QByteArray("#sh 127.0.0.1 ") + QByteArray::number(10000 + i) + "$$");
        QCOMPARE(rig.responder.subscribers().size(), ControlResponder::MaxSubscribers);
        QCOMPARE(rig.responder.subscribers().last().port, quint16(10000 + ControlResponder::MaxSubscribers + 2));
        QCOMPARE(rig.responder.subscribers().first().port, quint16(10003));
    }

    void recordingToggleAddsClipWhenItStops()
    {
        Rig rig;
        rig.send("#ss$");
        QVERIFY(rig.status().has(StatusPacket::Recording));
        QCOMPARE(rig.store.clipCount(), 0);
        rig.now += 2500; // 2.5 s at 1000 frames per second
        rig.send("#ss$");
        QVERIFY(!rig.status().has(StatusPacket::Recording));
        QCOMPARE(rig.store.clipCount(), 1);
        QCOMPARE(rig.store.clips[0].totalFrames, quint64(2500));

        // Stopping at once still records a clip of one frame, not an empty one.
        rig.send("#ss$");
        rig.send("#ss$");
        QCOMPARE(rig.store.clips.last().totalFrames, quint64(1));
    }

    void clipSelectionDeleteAndFormat()
    {
        Rig rig;
        rig.store.clips = {FakeClipStore::clip(0, 100), FakeClipStore::clip(1, 200), FakeClipStore::clip(2, 300)};
        const quint64 capacity = rig.status().diskCapacity;
        QCOMPARE(rig.status().diskFree, capacity - 600ull * 1024 * 512);
        QCOMPARE(rig.status().selectedClip, -1);

        rig.send("#sl1$");
        QCOMPARE(rig.status().selectedClip, 1);
        QCOMPARE(rig.status().clipFrames, quint64(200));
        rig.send("#sl3$"); // no such clip
        rig.send("#sl-1$");
        rig.send("#slx$");
        QCOMPARE(rig.status().selectedClip, 1);

        rig.send("#cd$"); // deletes the newest, not the selected one
        QCOMPARE(rig.store.clipCount(), 2);
        QCOMPARE(rig.store.clips.last().clipNumber, quint16(1));
        QCOMPARE(rig.status().selectedClip, 1);
        rig.send("#cd$");
        QCOMPARE(rig.status().selectedClip, -1);
        QCOMPARE(rig.status().clipFrames, quint64(0));

        rig.send("#sl0$");
        rig.send("#cf$");
        QCOMPARE(rig.store.clipCount(), 0);
        QCOMPARE(rig.status().selectedClip, -1);
        QCOMPARE(rig.status().diskFree, capacity);
        rig.send("#cd$"); // nothing left to delete
        QCOMPARE(rig.store.clipCount(), 0);
    }

    void selectionFollowsClipsRemovedElsewhere()
    {
        Rig rig;
        rig.store.clips = {FakeClipStore::clip(0, 100), FakeClipStore::clip(1, 200)};
        rig.send("#sl1$");
        rig.store.clips.removeLast();
        QCOMPARE(rig.status().selectedClip, -1);
    }

    void positionCommands()
    {
        Rig rig;
        rig.store.clips = {FakeClipStore::clip(0, 101)};
        rig.send("#sl0$");
        rig.send("#sp50$");
        QCOMPARE(rig.status().playbackPosition, quint64(50));
        rig.send("#sp99.999$");
        QCOMPARE(rig.status().playbackPosition, quint64(100));
        rig.send("#sf99$");
        QCOMPARE(rig.status().playbackPosition, quint64(99));
        rig.send("#sf101$");
        rig.send("#sf101$"); // already at the last frame
        QCOMPARE(rig.status().playbackPosition, quint64(100));
        rig.send("#sp0$");
        rig.send("#sf99$");
        QCOMPARE(rig.status().playbackPosition, quint64(0));
        rig.send("#sp250$");
        QCOMPARE(rig.status().playbackPosition, quint64(100));
    }

    void playbackRunsWithTimeAndStopsAtTheEnds()
    {
        Rig rig;
        rig.store.clips = {FakeClipStore::clip(0, 101)};
        rig.send("#sl0$");
        rig.send("#sr1.00000$");
        rig.now += 500; // 30 output frames at one recorded frame each
        QCOMPARE(rig.status().playbackPosition, quint64(30));
        rig.send("#su$");
        rig.now += 500;
        QCOMPARE(rig.status().playbackPosition, quint64(30));

        rig.send("#sr-0.50000$");
        rig.now += 400;                               // 12 frames back
        QCOMPARE(rig.responder.periodic().size(), 0); // nobody subscribed
        QCOMPARE(rig.status().playbackPosition, quint64(18));
        rig.now += 10000;
        QCOMPARE(rig.status().playbackPosition, quint64(0));
        QCOMPARE(rig.responder.state().playback.rate(), 0.0);

        rig.send("#sr3.00000$");
        rig.now += 10000;
        QCOMPARE(rig.status().playbackPosition, quint64(100));
    }

    void loopPlaybackWrapsRound()
    {
        Rig rig;
        rig.store.clips = {FakeClipStore::clip(0, 100)};
        rig.send("#sl0$");
        rig.send(typed(ParameterCode::ControlWord, u64Bytes(ControlWord::DirectLoop)));
        QVERIFY(rig.status().has(StatusPacket::LoopPlayback));
        rig.send("#sp99.999$");
        rig.send("#sr1.00000$");
        rig.now += 100; // 6 frames on from the last: wraps to frame 5
        QCOMPARE(rig.status().playbackPosition, quint64(5));
        rig.send("#sr-1.00000$");
        rig.now += 200; // 12 frames back from 5
        QCOMPARE(rig.status().playbackPosition, quint64(93));
        // An absurd rate still leaves the position inside the clip.
        rig.send("#sr1e300$");
        rig.now += 12345;
        QVERIFY(rig.status().playbackPosition < 100);
        rig.send(typed(ParameterCode::ControlWord, u64Bytes(ControlWord::DirectLoop)));
        QVERIFY(!rig.status().has(StatusPacket::LoopPlayback));
    }

    void cameraCommands()
    {
        Rig rig;
        rig.send("#st1234.50$");
        QCOMPARE(rig.status().shutterTime, 1234.5);
        for (const char* bad : {"#st-5$", "#st0$", "#stabc$", "#st$", "#stnan$"})
            rig.send(bad);
        QCOMPARE(rig.status().shutterTime, 1234.5);

        QVERIFY(!rig.responder.state().sdiOutputsSwapped);
        rig.send("#sc$");
        QVERIFY(rig.responder.state().sdiOutputsSwapped);

        const double rate = 500.0;
        QByteArray payload(8, '\0');
        kvx::wire::Writer(payload).put(0, rate);
        rig.send(typed(ParameterCode::FrameRate, payload));
        QCOMPARE(rig.status().frameRate, 500.0);
        for (double bad : {-1.0, 0.0, 1e300, std::nan("")}) {
            kvx::wire::Writer(payload).put(0, bad);
            rig.send(typed(ParameterCode::FrameRate, payload));
        }
        QCOMPARE(rig.status().frameRate, 500.0);

        rig.send(typed(ParameterCode::SdiFormat, u64Bytes(0x4B)));
        QCOMPARE(rig.status().sdiFormat, quint8(0x4B));
    }

    void parameterSetThenQuery()
    {
        Rig rig;
        rig.send(typed(ParameterCode::Genlock, u64Bytes(0x200000045ull)));
        QCOMPARE(rig.reply(ParameterCode::Genlock), u64Bytes(0x200000045ull));

        rig.send(typed(ParameterCode::FirstAlignment, u64Bytes(quint64(-5))));
        rig.send(typed(ParameterCode::SecondAlignment, u64Bytes(40000))); // beyond 16 bits
        QCOMPARE(rig.reply(ParameterCode::FirstAlignment), QByteArray::fromHex("FBFF"));
        QCOMPARE(rig.reply(ParameterCode::SecondAlignment), QByteArray::fromHex("FF7F"));

        // The program's copy of the block is marked; the recorder keeps the block unmarked.
        BasicInfoBlock block = *BasicInfoBlock::decode(rig.reply(ParameterCode::BasicInfo));
        QCOMPARE(block.serialNumber, 2180002u);
        block.setName(QStringLiteral("Stage B"));
        block.nameLength |= BasicInfoBlock::SentByProgramFlag;
        rig.send(typed(ParameterCode::BasicInfo, block.encode()));
        const auto stored = BasicInfoBlock::decode(rig.reply(ParameterCode::BasicInfo));
        QVERIFY(stored);
        QCOMPARE(stored->name(), QStringLiteral("Stage B"));
        QCOMPARE(stored->nameLength, 7u);

        const auto info = kvx::RecorderInfoPacket::decode(rig.reply(ParameterCode::Information));
        QVERIFY(info);
        QCOMPARE(info->recorderId, RecorderId);
    }

    void paintValuesReachTheOutputState()
    {
        Rig rig;
        rig.subscribe();
        // Group 1 channel 2 (blue gain) is code 11 in form 0, not the information block.
        const QList<SimDatagram> out =
            rig.send(ParameterPacket{11, ParameterPacket::ValueInWord, ParameterPacket::Set, 77, {}}.encode());
        QCOMPARE(magicsOf(out), QList<quint32>{kvx::magic::OutputState});
        QCOMPARE(OutputStatePacket::decode(out[0].bytes)->values[11], qint16(77));
        QCOMPARE(rig.reply(11).size(), BasicInfoBlock::Size); // a query of 11 is still the block

        rig.send(ParameterPacket{3, ParameterPacket::ValueInWord, ParameterPacket::Set, quint32(-300), {}}.encode());
        QCOMPARE(rig.reply(3), QByteArray::fromHex("D4FE"));
        rig.send(ParameterPacket{25, ParameterPacket::ValueInWord, ParameterPacket::Set, 100000, {}}.encode());
        QCOMPARE(rig.responder.state().outputState.values[25], qint16(32767));

        // Typed SDI selection lands where paint group 0 keeps it.
        rig.send(typed(ParameterCode::SdiSelection, QByteArray(1, '\x02')));
        QCOMPARE(rig.responder.state().outputState.values[RecorderControlState::SdiSelectionValue], qint16(2));

        // Codes 6 to 8 carry no paint value; the clips manager's queries are left alone.
        QVERIFY(
            rig.send(ParameterPacket{7, ParameterPacket::ValueInWord, ParameterPacket::Set, 1, {}}.encode()).isEmpty());
        QVERIFY(rig.send(query(ParameterCode::ColourMatrices)).isEmpty());
        QVERIFY(rig.send(query(ParameterCode::PaintOptions)).isEmpty());
        QVERIFY(
            rig.send(ParameterPacket{0, ParameterPacket::PortAnnouncement, ParameterPacket::Query, 47915, {}}.encode())
                .isEmpty());
    }

    void ipChangeIsForTheNamedRecorderOnly()
    {
        Rig rig;
        QSignalSpy changed(&rig.responder, &ControlResponder::addressChangeRequested);
        const QHostAddress next(QStringLiteral("127.0.0.5"));
        rig.send(IpChangeDatagram{next.toIPv4Address(), RecorderId + 1}.encode());
        QCOMPARE(changed.size(), 0);
        QCOMPARE(rig.responder.info().ethernet.address(), QHostAddress(QStringLiteral("127.0.0.1")));

        const QByteArray change = IpChangeDatagram{next.toIPv4Address(), RecorderId}.encode();
        rig.send(change.left(20)); // the recorderId cut off
        QCOMPARE(changed.size(), 0);

        rig.send(change + "x"); // a byte too many
        QCOMPARE(changed.size(), 0);

        rig.send(change);
        QCOMPARE(changed.size(), 1);
        QCOMPARE(changed[0][0].value<QHostAddress>(), next);
        // The address is reported only once the link has really moved there.
        QCOMPARE(rig.responder.info().ethernet.address(), QHostAddress(QStringLiteral("127.0.0.1")));
        rig.responder.takeAddress(next);
        QCOMPARE(rig.responder.info().ethernet.address(), next);
        rig.subscribe();
        QCOMPARE(rig.responder.periodic().size(), 1);
    }

    void malformedInputIsIgnored()
    {
        Rig rig;
        rig.subscribe();
        rig.store.clips = {FakeClipStore::clip(0, 50)};
        const QByteArray before = rig.status().encode();
        const QList<QByteArray> bad = {
            QByteArray(),
            QByteArray("#"),
            QByteArray("#ss"),
            QByteArray("ss$"),
            QByteArray("#s$"),
            QByteArray("#zz$"),
            QByteArray("#ss\x01$"),
            QByteArray(200, '#') + "$",
            QByteArray::fromHex("0400CDAB"),
            QByteArray::fromHex("0400CDAB0C010000"),
            typed(ParameterCode::Genlock, QByteArray(4, '\x01')), // payload too short for the code
            typed(ParameterCode::BasicInfo, QByteArray(60, 'x')),
            typed(ParameterCode::FirmwareCommand, QByteArray(12, '\0')),
            QByteArray::fromHex("0400CDAB07010000FFFFFFFF"),                 // announces more than it has
            QByteArray::fromHex("0400CDAB07010300080000000000000000000000"), // a reply, not for a recorder
            QByteArray::fromHex("0100CDAB0000"),
        };
        for (const QByteArray& datagram : bad)
            QVERIFY2(rig.send(datagram).isEmpty(), datagram.toHex().constData());
        QCOMPARE(rig.status().encode(), before);
        QCOMPARE(rig.responder.subscribers().size(), 1);

        // Random bytes and randomly damaged valid packets must never crash the recorder.
        QRandomGenerator rng(11);
        const QList<QByteArray> valid = {typed(ParameterCode::Genlock, u64Bytes(1)), query(ParameterCode::BasicInfo),
                                         QByteArray("#sl0$"), IpChangeDatagram{1, RecorderId}.encode()};
        for (int i = 0; i < 3000; ++i) {
            QByteArray datagram = valid[i % valid.size()];
            if (i % 3 == 0) {
                datagram = QByteArray(int(rng.bounded(64)), '\0');
                for (char& c : datagram)
                    c = char(rng.bounded(256));
            } else {
                datagram[int(rng.bounded(int(datagram.size())))] = char(rng.bounded(256));
                datagram.truncate(int(rng.bounded(int(datagram.size()) + 1)));
            }
            rig.send(datagram);
        }
    }
};

QTEST_GUILESS_MAIN(TestControlResponder)
#include "tst_controlresponder.moc"
