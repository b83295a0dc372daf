// How packets from a recorder change its records and what the window is told.
#include "CapturingLink.h"

#include "common/catalogue/ClipInfoProcessor.h"
#include "common/naming/RecorderNaming.h"
#include "common/packets/ClipInfoPacket.h"
#include "common/packets/FirmwarePackets.h"
#include "common/packets/ParameterPacket.h"
#include "control/app/DisplayTexts.h"
#include "control/app/UiScale.h"
#include "control/discovery/UdpRecInfo.h"
#include "control/manager/QMultiRecorderMgr.h"
#include "control/manager/RecordUpdate.h"

#include <QSignalSpy>
#include <QtTest>

namespace {

QByteArray status(quint64 position, quint64 free, quint64 capacity = 1000)
{
    StatusPacket s;
    s.playbackPosition = position;
    s.diskFree = free;
    s.diskCapacity = capacity;
    return s.encode();
}

QByteArray reply(quint8 code, const QByteArray& payload)
{
    return ParameterPacket{code, ParameterPacket::PayloadFollows, ParameterPacket::Reply, quint32(payload.size()),
                           payload}
        .encode();
}

QByteArray clipList(quint16 listId, quint16 total, int entries)
{
    kvx::ClipInfoPacket p;
    p.listId = listId;
    p.totalClips = total;
    for (int i = 0; i < entries; ++i) {
        kvx::ClipInfoPacket::clipInfo c;
        c.clipNumber = quint16(i);
        c.totalFrames = 100;
        p.entries.append(c);
    }
    return p.encode();
}

} // namespace

class TestRecorderRecords : public QObject {
    Q_OBJECT
private slots:
    void statusChangesGiveTheirMasks()
    {
        RecorderRecords records;
        using RecordUpdate::apply;
        QCOMPARE(apply(records, status(10, 500)).mask, 7); // the first, against an empty record
        QCOMPARE(apply(records, status(10, 500)).mask, 1);
        QCOMPARE(apply(records, status(10, 400)).mask, 3);
        QCOMPARE(apply(records, status(11, 400)).mask, 5);
        QCOMPARE(apply(records, status(12, 300)).mask, 7);
        QCOMPARE(apply(records, status(12, 300, 2000)).mask, 3);
        QCOMPARE(records.status->diskCapacity, quint64(2000));
    }

    // Short, long or contradictory packets are dropped whole.
    void malformedPacketsChangeNothing()
    {
        RecorderRecords records;
        RecordUpdate::apply(records, status(10, 500));
        const QList<QByteArray> bad = {
            status(99, 1).left(103),
            status(99, 1) + "x",
            OutputStatePacket().encode().left(40),
            kvx::RecorderInfoPacket().encode().left(55),
            reply(7, QByteArray(4, '\x01')),  // shorter than the word it fills
            reply(7, QByteArray(16, '\x01')), // longer
            reply(11, QByteArray(60, 'x')),
            reply(18, QByteArray(1, 'x')),
            reply(7, QByteArray(8, '\x01')) + "tail",        // more than the word announces
            QByteArray::fromHex("0400cdab07010300ffff0000"), // announces more than there is
            ParameterPacket{7, ParameterPacket::PayloadFollows, ParameterPacket::Set, 8, QByteArray(8, '\1')}
                .encode(), // a set, not a reply
            QByteArray::fromHex("0100cd"),
            QByteArray(),
        };
        for (const QByteArray& packet : bad)
            QCOMPARE(RecordUpdate::apply(records, packet).mask, 0);
        QCOMPARE(records.status->playbackPosition, quint64(10));
        QVERIFY(!records.outputState && !records.info && !records.basicInfo && !records.genlockWord);
        QCOMPARE(records.firstAlignment, 0);
    }

    void repliesFillTheirRecords()
    {
        RecorderRecords records;
        QByteArray word(8, '\0');
        word[0] = char(0x20); // a frequency but no resolution
        word[4] = char(0x02); // bit 33 stays
        QCOMPARE(RecordUpdate::apply(records, reply(7, word)).mask, 0);
        QCOMPARE(*records.genlockWord, 0x2000000AFull);
        word[0] = char(0x23);
        RecordUpdate::apply(records, reply(7, word));
        QCOMPARE(quint8(*records.genlockWord), quint8(0x23));
        QCOMPARE(RecordUpdate::normalisedGenlockByte(0x10), quint8(0xAF)); // no frequency

        RecordUpdate::apply(records, reply(18, QByteArray::fromHex("fbff")));
        RecordUpdate::apply(records, reply(19, QByteArray::fromHex("7c00")));
        QCOMPARE(records.firstAlignment, -5);
        QCOMPARE(records.secondAlignment, 124);

        BasicInfoBlock block;
        block.setName(QStringLiteral("Stage B"));
        QCOMPARE(RecordUpdate::apply(records, reply(11, block.encode())).mask, 33);
        QCOMPARE(records.basicInfo->name(), QStringLiteral("Stage B"));

        const QByteArray fw = kvx::FirmwareProgramStatus{0, 0x1234, 0.5f, 0, 0, 7, 0}.encode();
        QCOMPARE(RecordUpdate::apply(records, reply(14, fw)).firmwareStatus, std::optional<QByteArray>(fw));
        QCOMPARE(RecordUpdate::apply(records, kvx::RecorderInfoPacket().encode()).mask, 16);
        QCOMPARE(RecordUpdate::apply(records, OutputStatePacket().encode()).mask, 0);
        QVERIFY(records.outputState);
    }

    // The manager routes by link and gathers clip lists per link.
    void managerSignalsPerLink()
    {
        QMultiRecorderMgr manager;
        QList<CapturingLink*> links;
        for (int i = 0; i < 2; ++i) {
            auto link = std::make_unique<CapturingLink>();
            link->setIndex(i);
            links.append(link.get());
            manager.addOpenedLink(std::move(link));
        }
        QSignalSpy changes(&manager, &QMultiRecorderMgr::changeRecorderStatus);
        links[1]->receive(status(1, 1));
        links[1]->receive(clipList(7, 3, 2));
        QCOMPARE(changes.size(), 1);
        links[1]->receive(clipList(7, 3, 1).left(20)); // short: fails the transmission
        links[1]->receive(clipList(8, 2, 2) + "x");    // longer than its entries
        links[1]->receive(clipList(9, 1, 2));          // more entries than the list holds
        QCOMPARE(changes.size(), 1);
        links[1]->receive(clipList(10, 2, 2));
        QCOMPARE(changes.size(), 2);
        QCOMPARE(changes[1], (QList<QVariant>{1, 8}));
        QCOMPARE(manager.clipList(1)->clips().size(), 2);
        QVERIFY(manager.clipList(0)->clips().isEmpty());
        QVERIFY(links[0]->records().status == std::nullopt);
    }

    void textsShownForRecorders()
    {
        QCOMPARE(DisplayTexts::freeDisk(123, 1000), QStringLiteral("12.3%"));
        QCOMPARE(DisplayTexts::freeDisk(5, 0), QStringLiteral("0.0%"));
        QCOMPARE(DisplayTexts::freeDisk(~0ull, ~0ull), QStringLiteral("100.0%")); // no overflow
        kvx::RecorderInfoPacket info;
        info.cameraSerial = 2901180001u;
        info.cameraModel = 1;
        QCOMPARE(DisplayTexts::recorderName(info, 0, 1), QStringLiteral("VLM UHD (29-0118-0001)"));
        QCOMPARE(DisplayTexts::recorderName(info, 2, 3), QStringLiteral("3. VLM UHD (29-0118-0001)"));

        UdpRecInfo record;
        record.localAddress = QHostAddress(QStringLiteral("10.0.0.5"));
        record.localNetmask = QHostAddress(QStringLiteral("255.0.0.0"));
        record.recorderAddress = QHostAddress(QStringLiteral("192.168.1.50"));
        record.info.ethernet.linkFlags = 0x20; // link code 2: a 10G link
        QVERIFY(DisplayTexts::recorderLabel(record, "Camera").contains("<font color=red>192.168.1.50 (!!!)</font>"));
        QVERIFY(DisplayTexts::recorderLabel(record, "Camera").contains("10G Ethernet"));
        record.recorderAddress = QHostAddress(QStringLiteral("10.20.30.40"));
        record.info.ethernet.linkFlags = 0x01;
        QVERIFY(DisplayTexts::recorderLabel(record, "Camera").contains("IP: 10.20.30.40<br/>1G Ethernet"));
    }

    void scaleStaysOnScreen()
    {
        QCOMPARE(UiScale::factor(96, 600), 1.0);
        QCOMPARE(UiScale::factor(144, 2000), 1.5);
        // 672 x 1.5 = 1008 does not fit into 1000 - 95: the panel takes what there is.
        QCOMPARE(UiScale::factor(144, 1000), 905.0 / 672);
        QCOMPARE(UiScale::scaled(15, 1.5), 22); // 22.5 rounds to 23, made even
    }
};

QTEST_GUILESS_MAIN(TestRecorderRecords)
#include "tst_recorder_records.moc"
