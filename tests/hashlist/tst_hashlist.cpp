// Hashing as blocks are written, the MHL 1.1 list and the folder check, and what a saved clip
// folder edited by hand looks like when it is opened again.
#include "SampleClipFolders.h"
#include "TestFiles.h"
#include "hashlist/HashListCheck.h"
#include "hashlist/MediaHashList.h"
#include "hashlist/PrefixHash.h"
#include "storage/ClipFolder.h"

#include <QBuffer>
#include <QDir>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QTest>

namespace {

QByteArray randomBytes(qsizetype size)
{
    QByteArray bytes(size, '\0');
    QRandomGenerator generator(7);
    for (char& c : bytes)
        c = char(generator.bounded(256));
    return bytes;
}

void writeAt(const QString& path, qint64 offset, const QByteArray& bytes)
{
    QFile file(path);
    QVERIFY(file.open(QIODevice::ReadWrite));
    QVERIFY(file.seek(offset));
    QCOMPARE(file.write(bytes), bytes.size());
}

void overwrite(const QString& path, const QByteArray& bytes)
{
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    file.write(bytes);
}

// A complete clip folder of 4 frames, with its hash list.
QString completeFolder(const QString& base)
{
    return testdata::makeClipFolder(base, 64, 32, 4, randomBytes(64 * 32 * 4), randomBytes(64 * 32 * 8));
}

} // namespace

class TestHashList : public QObject {
    Q_OBJECT
private slots:
    void digestsMatchTheReferenceTool()
    {
        // xxhsum -H64 of the empty input and of "abc".
        QCOMPARE(Xxh64().digest(), 0xef46db3751d8e999ull);
        Xxh64 abc;
        abc.update("ab", 2);
        abc.update("c", 1);
        QCOMPARE(Xxh64::hex(abc.digest()), QString("44bc2cf5ad770999"));
        QCOMPARE(Xxh64::parseHex(u"44bc2cf5ad770999"), std::optional<quint64>(0x44bc2cf5ad770999ull));
        for (QStringView bad : {u"44bc2cf5ad77099", u"0x4bc2cf5ad770999", u"+4bc2cf5ad770999", u"44bc2cf5ad77099g"})
            QVERIFY2(!Xxh64::parseHex(bad), qPrintable(bad.toString()));
    }

    void blocksInAnyOrderHashLikeTheWholeFile()
    {
        QTemporaryDir dir;
        const QString path = dir.filePath("data");
        const QByteArray bytes = randomBytes(10000);
        overwrite(path, QByteArray(bytes.size(), '\0'));
        PrefixHash hash(path, bytes.size());
        // Resumed: the first 1000 bytes were stored by an earlier download.
        writeAt(path, 0, bytes.left(1000));
        hash.noteWritten(0, 1000);
        const QList<std::pair<qint64, qint64>> blocks{
            {5000, 3000}, {1000, 2000}, {8000, 2000}, {2500, 3000}, {3000, 500}};
        for (const auto& [offset, size] : blocks) {
            writeAt(path, offset, bytes.mid(offset, size));
            hash.written(offset, reinterpret_cast<const uchar*>(bytes.constData()) + offset, size);
        }
        QCOMPARE(hash.hashedBytes(), bytes.size());
        QCOMPARE(hash.finish(), Xxh64::ofFile(path));
    }

    void unfinishedFileIsReadToTheEndOrFails()
    {
        QTemporaryDir dir;
        const QString path = dir.filePath("data");
        overwrite(path, randomBytes(3000));
        PrefixHash whole(path, 3000);
        QCOMPARE(whole.finish(), Xxh64::ofFile(path));
        PrefixHash tooLong(path, 4000); // the file was cut short
        QCOMPARE(tooLong.finish(), std::nullopt);
    }

    void completedClipFolderPassesItsCheckAndDamageIsNamed()
    {
        QTemporaryDir base;
        const QString folder = completeFolder(base.path());
        QVERIFY(!folder.isEmpty());
        const QString listName = hashlistcheck::findHashList(folder);
        QVERIFY(listName.startsWith(QDir(folder).dirName() + "_"));
        QVERIFY(QRegularExpression("_\\d{4}-\\d\\d-\\d\\d_\\d{6}\\.mhl$").match(listName).hasMatch());
        FolderCheck check = hashlistcheck::check(folder, true);
        QVERIFY2(check.intact(), qPrintable(check.report()));
        QCOMPARE(check.filesChecked, 3);

        // One flipped bit of a frame: the sizes still agree, the contents do not.
        QByteArray frames = readFile(folder + "/0.bin");
        frames[100] = char(frames[100] ^ 1);
        overwrite(folder + "/0.bin", frames);
        QVERIFY(hashlistcheck::check(folder, false).intact());
        check = hashlistcheck::check(folder, true);
        QCOMPARE(check.changed.size(), 1);
        QVERIFY(check.changed[0].startsWith("0.bin: content differs"));

        QFile(folder + "/calib.bin").resize(10);
        QFile::remove(folder + "/clip.xml");
        check = hashlistcheck::check(folder, false);
        QCOMPARE(check.missing, QStringList{"clip.xml"});
        QCOMPARE(check.changed.size(), 1);
        QVERIFY(check.changed[0].startsWith("calib.bin: 10 bytes instead of"));
        QVERIFY(check.report().contains("clip.xml: missing"));
    }

    void damagedOrHostileListsAreRefused_data()
    {
        QTest::addColumn<QByteArray>("edit");
        QTest::newRow("truncated") << QByteArray("cut");
        QTest::newRow("path leaving the folder") << QByteArray("<file>../../etc/passwd</file>");
        QTest::newRow("absolute path") << QByteArray("<file>/etc/passwd</file>");
        QTest::newRow("hash not hexadecimal") << QByteArray("<xxhash64be>zz</xxhash64be>");
        QTest::newRow("size missing") << QByteArray("<size></size>");
        QTest::newRow("other version") << QByteArray("version=\"2.0\"");
    }
    void damagedOrHostileListsAreRefused()
    {
        QFETCH(QByteArray, edit);
        QTemporaryDir base;
        const QString folder = completeFolder(base.path());
        const QString listPath = folder + "/" + hashlistcheck::findHashList(folder);
        QByteArray list = readFile(listPath);
        if (edit == "cut") {
            list.truncate(list.size() / 2);
        } else {
            const QByteArray tag = edit.left(edit.indexOf('>') + 1);
            const QRegularExpression pattern(edit.startsWith("version") ? QString("version=\"1.1\"")
                                                                        : QString::fromLatin1(tag) + "[^<]*</"
                                                     + QString::fromLatin1(tag.mid(1)));
            const QRegularExpressionMatch match = pattern.match(QString::fromUtf8(list));
            QVERIFY(match.hasMatch());
            list.replace(match.capturedStart(), match.capturedLength(), edit);
        }
        overwrite(listPath, list);
        const FolderCheck check = hashlistcheck::check(folder, true);
        QVERIFY(!check.intact());
        QVERIFY2(!check.listError.isEmpty(), qPrintable(check.report()));
        QCOMPARE(check.summary(), QString("hash list damaged"));
    }

    void folderEditedByHandIsNeverShownComplete()
    {
        QTemporaryDir base;
        const QString cut = completeFolder(base.path());
        QFile(cut + "/0.bin").resize(64 * 32 * 2 + 5); // two whole frames left
        SavedClip shortened;
        QVERIFY(shortened.openFolder(cut));
        QCOMPARE(shortened.downloadedFrames(), 2u);
        QVERIFY(shortened.description().contains("Incomplete: 2 of 4 frames"));
        QVERIFY(shortened.description().contains("Damaged: differs from its hash list: 0.bin"));

        const QString damaged = completeFolder(base.path());
        QByteArray xml = readFile(damaged + "/clip.xml");
        xml.replace("</Camera_Flags>", "</Camera_Flag>");
        overwrite(damaged + "/clip.xml", xml);
        SavedClip unreadable;
        QVERIFY(unreadable.openFolder(damaged));
        QVERIFY(!unreadable.isComplete());
        QVERIFY(unreadable.description().contains("Damaged: clip.xml is damaged"));
    }

    void resumedFolderGetsTheHashOfEveryFrame()
    {
        QTemporaryDir base;
        const QByteArray frames = randomBytes(64 * 32 * 4);
        QString folder;
        {
            SavedClip first(sampleClip(1, 4, 64, 32));
            QVERIFY(first.prepareDownload(base.path(), {}));
            folder = first.folderPath();
            SavedClip::RAMBufferPtr buffer;
            QVERIFY(first.allocateBuffer({0, 1}, false, &buffer));
            std::memcpy(buffer->data(), frames.constData(), size_t(buffer->size()));
            QSignalSpy progress(&first, &SavedClip::clipDownloadProgress);
            QVERIFY(first.storeFrames(buffer) && progress.wait(5000));
        }
        SavedClip resumed;
        QVERIFY(resumed.openFolder(folder));
        QCOMPARE(resumed.downloadedFrames(), 2u);
        QVERIFY(resumed.prepareResume());
        QSignalSpy hashList(&resumed, &SavedClip::hashListFinished);
        SavedClip::RAMBufferPtr buffer;
        QVERIFY(resumed.allocateBuffer({0, 0}, true, &buffer));
        QVERIFY(resumed.storeCalibration(buffer));
        QVERIFY(resumed.allocateBuffer({2, 3}, false, &buffer));
        std::memcpy(buffer->data(), frames.constData() + 2 * 64 * 32, size_t(buffer->size()));
        QVERIFY(resumed.storeFrames(buffer));
        QVERIFY(hashList.wait(5000));
        QVERIFY2(hashList[0][0].toBool(), qPrintable(hashList[0][1].toString()));
        QCOMPARE(readFile(folder + "/0.bin"), frames);
        QVERIFY(hashlistcheck::check(folder, true).intact());
    }
};

QTEST_MAIN(TestHashList)
#include "tst_hashlist.moc"
