#include "SampleClips.h"

#include "common/catalogue/BaseClipListModel.h"
#include "common/catalogue/BaseRecClip.h"
#include "common/catalogue/DownloadableClipList.h"

#include <QAbstractItemModelTester>
#include <QPixmap>
#include <QSignalSpy>

using ClipInfo = kvx::ClipInfoPacket::clipInfo;

namespace {

QList<ClipInfoProcessor::Record> records(const QList<ClipInfo>& infos)
{
    QList<ClipInfoProcessor::Record> out;
    for (const ClipInfo& info : infos)
        out.append({info, 0});
    return out;
}

QList<quint16> clipNumbers(const DownloadableClipList& model)
{
    QList<quint16> numbers;
    for (int row = 0; row < model.rowCount(); ++row)
        numbers << model.clipPointerAt(row)->clipNumber;
    return numbers;
}

// Every clip's stored row must equal its position.
bool rowsInStep(const DownloadableClipList& model)
{
    for (int row = 0; row < model.rowCount(); ++row) {
        if (model.clipPointerAt(row)->row() != row)
            return false;
    }
    return true;
}

} // namespace

class TestClipListModel : public QObject {
    Q_OBJECT
private slots:
    void mergeInsertsInClipNumberOrderAndKeepsKnownClips()
    {
        DownloadableClipList model;
        QAbstractItemModelTester tester(&model, QAbstractItemModelTester::FailureReportingMode::QtTest);
        model.setClips(records({sampleClip(0), sampleClip(2)}));
        DownloadableClip* two = model.clipPointerAt(1);
        two->addRange({0, 4});

        QSignalSpy inserted(&model, &QAbstractItemModel::rowsInserted);
        QSignalSpy labels(&model, &DownloadableClipList::clipLabelChanged);
        model.setClips(records({sampleClip(3), sampleClip(0), sampleClip(1), sampleClip(2)}));
        QCOMPARE(clipNumbers(model), (QList<quint16>{0, 1, 2, 3}));
        QCOMPARE(model.clipPointerAt(2), two);
        QCOMPARE(two->downloadedFrames(), 5u);
        QCOMPARE(inserted.size(), 2);
        QCOMPARE(labels.size(), 1);
        QVERIFY(rowsInStep(model));
    }

    void replacedClipWithTheSameNumberFollowsTheOldOne()
    {
        DownloadableClipList model;
        model.setClips(records({sampleClip(1), sampleClip(5)}));
        model.clipPointerAt(0)->addRange({0, 9});

        kvx::ClipInfoPacket::clipInfo replacement = sampleClip(1);
        replacement.clipUid = 0xBEEF;
        model.setClips(records({replacement, sampleClip(5)}));
        QCOMPARE(clipNumbers(model), (QList<quint16>{1, 1, 5}));
        QCOMPARE(model.clipPointerAt(0)->clipUid, 0xC11B0001ull);
        QVERIFY(model.clipPointerAt(0)->isLost());
        QCOMPARE(model.clipPointerAt(1)->clipUid, 0xBEEFull);
        QVERIFY(!model.clipPointerAt(1)->isLost());
    }

    void lostClipsStayOnlyWithDownloadedFrames()
    {
        DownloadableClipList model;
        QAbstractItemModelTester tester(&model, QAbstractItemModelTester::FailureReportingMode::QtTest);
        model.setClips(records({sampleClip(0), sampleClip(1), sampleClip(2)}));
        model.clipPointerAt(1)->addRange({0, 9});
        const QSharedPointer<DownloadableClip> gone = model.clipAt(2);

        QSignalSpy removed(&model, &QAbstractItemModel::rowsRemoved);
        model.setClips(records({sampleClip(3)}));
        QCOMPARE(clipNumbers(model), (QList<quint16>{1, 3}));
        QCOMPARE(removed.size(), 2);
        QCOMPARE(gone->row(), -1);

        const QModelIndex kept = model.index(0);
        QCOMPARE(model.data(kept).toString(), QStringLiteral("Clip 2 (lost)"));
        QCOMPARE(model.clipPointerAt(kept)->infoLines().first(), QStringLiteral("Clip not seen in recorder"));
        QVERIFY(!model.isDownloadable(kept));
        QVERIFY(model.isDownloadable(model.index(1)));

        // Listed again: no longer lost.
        model.setClips(records({sampleClip(1), sampleClip(3)}));
        QVERIFY(!model.clipPointerAt(0)->isLost());
        QVERIFY(model.isDownloadable(kept));
    }

    void newClipsTakesAProcessorsList()
    {
        ClipInfoProcessor processor;
        QVERIFY(processor.process(clipListPacket(1, {sampleClip(4), sampleClip(2)}, 2)));
        QObject owner;
        DownloadableClipList model(&owner);
        model.newClips(processor);
        QCOMPARE(clipNumbers(model), (QList<quint16>{2, 4}));
    }

    void displayChangeRefreshesTheClipsCurrentRow()
    {
        DownloadableClipList model;
        QAbstractItemModelTester tester(&model, QAbstractItemModelTester::FailureReportingMode::QtTest);
        model.setClips(records({sampleClip(0), sampleClip(4)}));
        DownloadableClip* four = model.clipPointerAt(1);
        // Inserted in front of it: the clip must now report row 2.
        model.setClips(records({sampleClip(0), sampleClip(1), sampleClip(4)}));

        QSignalSpy changed(&model, &QAbstractItemModel::dataChanged);
        four->addRange({0, 1});
        QCOMPARE(changed.size(), 1);
        QCOMPARE(changed.at(0).at(0).toModelIndex().row(), 2);

        model.removeClip(0);
        QVERIFY(rowsInStep(model));
        four->addRange({5, 6});
        QCOMPARE(changed.size(), 2);
        QCOMPARE(changed.at(1).at(0).toModelIndex().row(), 1);

        // A removed clip no longer reaches the model.
        const QSharedPointer<DownloadableClip> held = model.clipAt(1);
        model.removeClip(1);
        held->addRange({10, 20});
        QCOMPARE(changed.size(), 2);
    }

    void outOfRangeAccessIsHarmless()
    {
        DownloadableClipList model;
        model.setClips(records({sampleClip(0)}));
        QVERIFY(!model.clipPointerAt(1));
        QVERIFY(!model.clipPointerAt(-1));
        QVERIFY(model.clipAt(1).isNull());
        QVERIFY(!model.data(model.index(1)).isValid());
        QVERIFY(!model.data(QModelIndex()).isValid());

        QSignalSpy removed(&model, &QAbstractItemModel::rowsRemoved);
        model.removeClip(1);
        model.removeClip(-1);
        QCOMPARE(removed.size(), 0);
        QCOMPARE(model.rowCount(), 1);
    }

    void recorderListRoles()
    {
        DownloadableClipList model;
        model.setClips(records({sampleClip(6)}));
        const QModelIndex index = model.index(0);
        QCOMPARE(model.data(index).toString(), model.clipPointerAt(0)->text());
        QCOMPARE(model.data(index, Qt::DecorationRole).typeId(), QMetaType::QPixmap);
        QVERIFY2(!model.data(index, Qt::DecorationRole).value<QPixmap>().isNull(), "the clip picture did not load");
        QVERIFY(!model.data(index, 257).isValid());
        QCOMPARE(model.roleNames().value(257), QByteArray("clipID"));
    }

    void baseModelReplacesOnlyWhenTheCountChanges()
    {
        BaseClipListModel<BaseRecClip> model;
        QSignalSpy resets(&model, &QAbstractItemModel::modelReset);
        model.setClips(records({sampleClip(0), sampleClip(7)}));
        QCOMPARE(resets.size(), 1);
        QCOMPARE(model.data(model.index(1), 257).toInt(), 7);
        QCOMPARE(model.data(model.index(1)).toString(), QStringLiteral("Recorder clip 7"));
        QVERIFY(!model.data(model.index(1), Qt::DecorationRole).isValid());

        model.setClips(records({sampleClip(1), sampleClip(2)}));
        QCOMPARE(resets.size(), 1);
        QCOMPARE(model.clipPointerAt(0)->clipNumber, 0);

        model.setClips(records({sampleClip(3)}));
        QCOMPARE(resets.size(), 2);
        QCOMPARE(model.rowCount(), 1);
        QCOMPARE(model.clipPointerAt(0)->clipNumber, 3);
        QCOMPARE(model.rowOf(model.clipPointerAt(0)), 0);
    }
};

QTEST_MAIN(TestClipListModel)
#include "tst_cliplistmodel.moc"
