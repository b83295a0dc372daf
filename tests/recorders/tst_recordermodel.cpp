#include "SampleClips.h"
#include "SampleRecorders.h"
#include "download/RecorderDownloadManager.h"
#include "recorders/RecorderEthernetModel.h"
#include "recorders/RecorderView.h"

#include <QAbstractItemModelTester>
#include <QPixmap>
#include <QSignalSpy>
#include <QtTest>

class TestRecorderModel : public QObject {
    Q_OBJECT
private slots:
    void rowTexts_data()
    {
        QTest::addColumn<quint32>("serial");
        QTest::addColumn<quint32>("camera");
        QTest::addColumn<qint16>("model");
        QTest::addColumn<quint8>("linkFlags");
        QTest::addColumn<QString>("recorderText");
        QTest::addColumn<QString>("linkText");
        QTest::newRow("10G HD") << 2180002u << 2901180001u << qint16(0) << quint8(0x11)
                                << " VLMV-0218-0002\n Camera: 29-0118-0001 (VLM HD)\n IP: 10.77.41.2 (10G Ethernet)"
                                << "10G Ethernet Link [10.77.41.2]";
        QTest::newRow("UHD, digits above the eighth dropped")
            << 4012345678u << 0u << qint16(1) << quint8(0x10)
            << " VLMV-1234-5678\n Camera: 00-0000-0000 (VLM UHD)\n IP: 10.77.41.2 (10G Ethernet)"
            << "10G Ethernet Link [10.77.41.2]";
        // Only link code 1 reads as 10G; an unknown camera model shows empty brackets.
        QTest::newRow("code 2, unknown model")
            << 1u << 1u << qint16(5) << quint8(0x21)
            << " VLMV-0000-0001\n Camera: 00-0000-0001 ()\n IP: 10.77.41.2 (1G Ethernet)"
            << "1G Ethernet Link [10.77.41.2]";
    }
    void rowTexts()
    {
        QFETCH(quint32, serial);
        QFETCH(quint32, camera);
        QFETCH(qint16, model);
        QFETCH(quint8, linkFlags);
        kvx::RecorderInfoPacket info = recorderInfo(serial, "10.77.41.2", linkFlags);
        info.cameraSerial = camera;
        info.cameraModel = model;
        RecorderEthernetModel recorders;
        QVERIFY(recorders.addRecorder(info));
        const QModelIndex row = recorders.index(0, 0);
        QTEST(recorders.data(row).toString(), "recorderText");
        QTEST(recorders.data(recorders.index(0, 0, row)).toString(), "linkText");
    }

    void sameRecorderIdIsListedOnceWithItsFirstAnswer()
    {
        RecorderEthernetModel recorders;
        QAbstractItemModelTester tester(&recorders, QAbstractItemModelTester::FailureReportingMode::QtTest);
        QSignalSpy inserted(&recorders, &QAbstractItemModel::rowsInserted);
        QVERIFY(recorders.addRecorder(recorderInfo(1, "10.77.41.2")));
        // Same id from another address (a second link, or a new address): still the first row.
        QVERIFY(!recorders.addRecorder(recorderInfo(1, "10.77.41.7")));
        QVERIFY(recorders.addRecorder(recorderInfo(2, "10.77.41.3")));
        QCOMPARE(recorders.rowCount(), 2);
        QCOMPARE(inserted.count(), 2);
        QCOMPARE(recorders.recorderAt(0)->info().ethernet.address(), QHostAddress("10.77.41.2"));
        QCOMPARE(recorders.rowCount(recorders.index(0, 0)), 1);
    }

    void structureAndRoles()
    {
        RecorderEthernetModel recorders;
        QAbstractItemModelTester tester(&recorders, QAbstractItemModelTester::FailureReportingMode::QtTest);
        QVERIFY(recorders.addRecorder(recorderInfo(1, "10.77.41.2")));
        QVERIFY(recorders.addRecorder(recorderInfo(2, "10.77.41.3")));

        const QModelIndex second = recorders.index(1, 0);
        const QModelIndex link = recorders.index(0, 0, second);
        QVERIFY(link.isValid());
        QCOMPARE(recorders.parent(link), second);
        QVERIFY(!recorders.parent(second).isValid());
        QCOMPARE(recorders.recorderForIndex(link), recorders.recorderAt(1));
        QCOMPARE(recorders.recorderForIndex(second), recorders.recorderAt(1));
        QCOMPARE(recorders.rowCount(link), 0);
        QVERIFY(!recorders.index(2, 0).isValid());
        QVERIFY(!recorders.index(0, 1).isValid());
        QVERIFY(!recorders.index(1, 0, second).isValid());

        QCOMPARE(recorders.columnCount(), 1);
        QCOMPARE(recorders.headerData(0, Qt::Horizontal).toString(), QString("VLM Velmors"));
        QVERIFY(!recorders.headerData(0, Qt::Vertical).isValid());
        QVERIFY(!recorders.data(second, Qt::ToolTipRole).isValid());
        QCOMPARE(recorders.data(second, Qt::DecorationRole).userType(), QMetaType::QPixmap);
        QVERIFY2(!recorders.data(second, Qt::DecorationRole).value<QPixmap>().isNull(),
                 "the recorder picture did not load");
        QCOMPARE(recorders.flags(QModelIndex()), Qt::NoItemFlags);
        QVERIFY(recorders.flags(second) & Qt::ItemIsSelectable);
    }

    void removingReleasesTheManagerAndRenumbers()
    {
        RecorderEthernetModel recorders;
        QAbstractItemModelTester tester(&recorders, QAbstractItemModelTester::FailureReportingMode::QtTest);
        QVERIFY(recorders.addRecorder(recorderInfo(1, "10.77.41.2")));
        QVERIFY(recorders.addRecorder(recorderInfo(2, "10.77.41.3")));
        QVERIFY(recorders.addRecorder(recorderInfo(3, "10.77.41.4")));
        const QWeakPointer<RecorderDownloadManager> first = recorders.recorderAt(0)->downloadManager();

        recorders.removeRecorder(0);
        QVERIFY(first.isNull());
        QCOMPARE(recorders.rowCount(), 2);
        QCOMPARE(recorders.recorderAt(0)->row(), 0);
        QCOMPARE(recorders.recorderAt(1)->row(), 1);
        QCOMPARE(recorders.parent(recorders.index(0, 0, recorders.index(1, 0))), recorders.index(1, 0));
        recorders.removeRecorder(5);
        recorders.removeRecorder(-1);
        QCOMPARE(recorders.rowCount(), 2);

        // A removed recorder that answers again is new again.
        QVERIFY(recorders.addRecorder(recorderInfo(1, "10.77.41.2")));
    }

    void datagramsRouteBySenderAddress()
    {
        RecorderEthernetModel recorders;
        QVERIFY(recorders.addRecorder(recorderInfo(1, "10.77.41.2")));
        QVERIFY(recorders.addRecorder(recorderInfo(2, "10.77.41.3")));
        RecorderDownloadManager* second = recorders.recorderAt(1)->downloadManager().data();
        QCOMPARE(recorders.managerForAddress(QHostAddress("10.77.41.3")), second);
        // A dual-stack socket reports IPv4 senders in their mapped IPv6 form.
        QCOMPARE(recorders.managerForAddress(QHostAddress("::ffff:10.77.41.3")), second);
        QCOMPARE(recorders.managerForAddress(QHostAddress("10.77.41.9")), nullptr);
        QCOMPARE(recorders.managerForAddress(QHostAddress("::1")), nullptr);
        QCOMPARE(recorders.managerForAddress(QHostAddress()), nullptr);
    }
};

QTEST_MAIN(TestRecorderModel)
#include "tst_recordermodel.moc"
