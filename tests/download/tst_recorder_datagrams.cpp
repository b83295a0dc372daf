#include "ModelTexts.h"
#include "SampleClips.h"
#include "SampleRecorders.h"
#include "common/packets/ColorMatrixTable.h"
#include "common/packets/ParameterPacket.h"
#include "common/wire/LittleEndian.h"
#include "download/RecorderCommands.h"
#include "download/RecorderDownloadManager.h"
#include "sim/RecorderDefaults.h"
#include "sim/SimHost.h"

#include <QNetworkDatagram>
#include <QUdpSocket>
#include <QtTest>

namespace {

ColorMatrixRecord matrix(int n)
{
    ColorMatrixRecord record;
    record.temperature = 3000 + 100 * n;
    record.matrix = {1.5f, -0.25f, -0.25f, -0.125f, 1.25f, -0.125f, 0.0f, -0.5f, 1.5f};
    record.matrix[0] += float(n);
    return record;
}

// The recorder's reply to the colour-matrix query, with a count that may lie and a word that
// need not be the payload's length (-1: it is).
QByteArray matrixAnswer(quint32 announced, int present, quint8 code = 15, quint8 form = 1, qint64 word = -1)
{
    ColorMatrixTable table;
    table.value = 0x5A5A0001;
    for (int i = 0; i < present; ++i)
        table.records.append(matrix(i));
    QByteArray payload = table.encode();
    kvx::wire::Writer(payload).u32(0, announced);
    ParameterPacket reply;
    reply.code = code;
    reply.form = form;
    reply.operation = ParameterPacket::Reply;
    reply.word = quint32(word < 0 ? payload.size() : word);
    reply.payload = payload;
    return reply.encode();
}

} // namespace

class TestRecorderDatagrams : public QObject {
    Q_OBJECT
private slots:
    void colourMatrixAnswer_data()
    {
        QTest::addColumn<QByteArray>("datagram");
        QTest::addColumn<int>("stored");
        QTest::newRow("three matrices") << matrixAnswer(3, 3) << 3;
        QTest::newRow("count larger than the payload holds") << matrixAnswer(1000000, 2) << 2;
        QTest::newRow("count 0xFFFFFFFF") << matrixAnswer(0xFFFFFFFFu, 1) << 1;
        QTest::newRow("trailing partial record") << matrixAnswer(3, 3).chopped(1) << 2;
        // The table is read from the datagram's length, whatever the word says.
        QTest::newRow("word 0") << matrixAnswer(3, 3, 15, 1, 0) << 3;
        QTest::newRow("word shorter than the payload") << matrixAnswer(3, 3, 15, 1, 20) << 3;
        QTest::newRow("word longer than the payload") << matrixAnswer(3, 3, 15, 1, 100000) << 3;
        QTest::newRow("zero matrices") << matrixAnswer(0, 0) << 0;
        QTest::newRow("payload shorter than its head") << matrixAnswer(0, 0).left(12 + 4) << -1;
        QTest::newRow("another code") << matrixAnswer(3, 3, 26) << -1;
        QTest::newRow("form 0") << matrixAnswer(3, 3, 15, 0) << -1;
    }
    void colourMatrixAnswer()
    {
        QFETCH(QByteArray, datagram);
        QFETCH(int, stored);
        RecorderDownloadManager manager;
        // A table stored before must survive an answer that is refused.
        manager.processDatagram(matrixAnswer(1, 1));
        manager.processDatagram(datagram);
        const QList<ColorMatrixRecord>& matrices = manager.colorMatrices();
        if (stored < 0) {
            QCOMPARE(matrices, QList<ColorMatrixRecord>{matrix(0)});
            return;
        }
        QCOMPARE(matrices.size(), stored);
        QCOMPARE(manager.colorMatrixValue(), 0x5A5A0001u);
        for (int i = 0; i < stored; ++i)
            QCOMPARE(matrices[i], matrix(i));
    }

    // The simulator plays a recorder whose answer carries 0 in the word, not the payload length.
    void matricesFromARecorderWhoseWordIsNotTheLength()
    {
        SimConfig config = SimConfig::defaults();
        config.listenAddress = QHostAddress::LocalHost;
        config.discoveryPort = 0;
        config.matrixAnswerWord = 0;
        config.recorders.first().links = {SimLinkConfig{QHostAddress::LocalHost, 1, false, 0, 0}};
        SimHost host(config);
        QString error;
        QVERIFY2(host.start(&error), qPrintable(error));
        QUdpSocket program;
        QVERIFY(program.bind(QHostAddress::LocalHost, 0));
        program.writeDatagram(RecorderCommands::fetchMatrices().encode(), QHostAddress::LocalHost,
                              host.recorder(0).infoPacket(0).ethernet.commandPort);
        QTRY_VERIFY(program.hasPendingDatagrams());
        const QByteArray answer = program.receiveDatagram().data();
        QCOMPARE(answer.size(), 12 + 8 + 3 * 52);
        QCOMPARE(ParameterPacket::decode(answer)->word, 0u);

        RecorderDownloadManager manager;
        manager.processDatagram(answer);
        QCOMPARE(manager.colorMatrices(), defaultColorMatrixTable().records);
    }

    void outputStateIsCopiedWhole()
    {
        RecorderDownloadManager manager;
        QCOMPARE(manager.outputState(), OutputStatePacket());
        OutputStatePacket state;
        state.values[0] = -1000;
        state.values[25] = 777;
        manager.processDatagram(state.encode());
        QCOMPARE(manager.outputState(), state);
        // A short copy is refused and the stored state stays.
        manager.processDatagram(OutputStatePacket().encode().left(40));
        QCOMPARE(manager.outputState(), state);
    }

    void clipListsReachTheClipList()
    {
        RecorderDownloadManager manager;
        DownloadableClipList* clips = manager.clipList();
        manager.processDatagram(clipListPacket(1, {sampleClip(0, 1000, 2048, 1080), sampleClip(1, 500, 2048, 1080)}));
        QCOMPARE(rowTexts(*clips),
                 QStringList({"Clip 1 (1000 frames - 1.000 s)\n2048x1080 @ 1000 fps",
                              "Clip 2 (500 frames - 0.500 s)\n2048x1080 @ 1000 fps"}));
        // The recorder deleted clip 1.
        manager.processDatagram(clipListPacket(2, {sampleClip(1, 500, 2048, 1080)}));
        QCOMPARE(rowTexts(*clips), QStringList({"Clip 2 (500 frames - 0.500 s)\n2048x1080 @ 1000 fps"}));
    }

    void shortAndGarbageDatagramsChangeNothing_data()
    {
        QTest::addColumn<QByteArray>("datagram");
        const QByteArray list = clipListPacket(9, {sampleClip(5, 1000, 2048, 1080)});
        QTest::newRow("empty") << QByteArray();
        QTest::newRow("three bytes") << QByteArray("\x02\x00\xCD", 3);
        QTest::newRow("clip list head only") << list.left(16);
        QTest::newRow("clip list cut inside its entry") << list.chopped(1);
        QTest::newRow("parameter head cut") << matrixAnswer(3, 3).left(11);
        QTest::newRow("output state magic alone") << QByteArray::fromHex("0500CDAB");
        QTest::newRow("unknown magic") << QByteArray::fromHex("0900CDAB0000000000000000");
        QTest::newRow("random bytes") << QByteArray::fromHex("DEADBEEF00112233445566778899AABBCCDDEEFF");
    }
    void shortAndGarbageDatagramsChangeNothing()
    {
        QFETCH(QByteArray, datagram);
        RecorderDownloadManager manager;
        manager.processDatagram(clipListPacket(1, {sampleClip(0, 1000, 2048, 1080)}));
        manager.processDatagram(matrixAnswer(2, 2));
        OutputStatePacket state;
        state.values[3] = 42;
        manager.processDatagram(state.encode());

        manager.processDatagram(datagram);
        QCOMPARE(manager.clipList()->rowCount(), 1);
        QCOMPARE(manager.colorMatrices().size(), 2);
        QCOMPARE(manager.outputState(), state);
    }

    void linkAddresses()
    {
        RecorderDownloadManager manager;
        QVERIFY(!manager.hasLinkAddress(QHostAddress("10.77.41.2")));
        const kvx::RecorderInfoPacket info = recorderInfo(1, "10.77.41.2");
        manager.makeChannel(QSharedPointer<EthernetView>::create(info.ethernet, nullptr, 0));
        QCOMPARE(manager.linkChannels().size(), 1);
        QCOMPARE(manager.linkChannels().first()->maxRequestBytes, quint64(180000000));
        QVERIFY(manager.hasLinkAddress(QHostAddress("10.77.41.2")));
        QVERIFY(manager.hasLinkAddress(QHostAddress("::ffff:10.77.41.2")));
        QVERIFY(!manager.hasLinkAddress(QHostAddress("10.77.41.3")));
        QVERIFY(!manager.hasLinkAddress(QHostAddress("::ffff:10.77.41.3")));
        QVERIFY(!manager.hasLinkAddress(QHostAddress("fe80::1")));
    }
};

QTEST_MAIN(TestRecorderDatagrams)
#include "tst_recorder_datagrams.moc"
