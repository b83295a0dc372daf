// Clip thumbnails: drawn when the last block of a download is stored, when a folder without
// one is opened and on request; upright, 128 pixels high; never without calibration.

#include "SampleClipFolders.h"
#include "SyntheticMosaic.h"
#include "clipsmgr/PipelineThumbnailRenderer.h"

#include <QFile>
#include <QFileInfo>
#include <QImage>
#include <QTemporaryDir>
#include <QtEndian>
#include <QtTest>

namespace {

constexpr int kWidth = 96;
constexpr int kHeight = 64;

// A neutral polynomial: c1 = 1.0, all others 0.
QByteArray unitCalibration()
{
    QByteArray bytes(kWidth * kHeight * 8, 0);
    for (int p = 0; p < kWidth * kHeight; ++p)
        qToLittleEndian<qint16>(1024, bytes.data() + p * 8 + 2);
    return bytes;
}

// Bright in the top-left quarter only.
QByteArray quarterFrames(int frames)
{
    return testdata::mosaicFrames(kWidth, kHeight, frames, [](int c, int r, int) {
        const int v = (c < kWidth / 2 && r < kHeight / 2) ? 220 : 25;
        return testdata::Rgb8{v, v, v};
    });
}

QString makeFolder(const QString& base, int frames, const QByteArray& calibration)
{
    return testdata::makeClipFolder(base, kWidth, kHeight, frames, quarterFrames(frames), calibration,
                                    std::make_shared<PipelineThumbnailRenderer>());
}

// A clip that draws its thumbnails through the pipeline.
struct DrawingClip : SavedClip {
    DrawingClip() { setThumbnailRenderer(std::make_shared<PipelineThumbnailRenderer>()); }
};

int lightness(const QImage& image, double fx, double fy)
{
    return qGray(image.pixel(int(fx * image.width()), int(fy * image.height())));
}

} // namespace

class TestThumbnail : public QObject {
    Q_OBJECT

private slots:
    void downloadedClipGetsAnUprightThumbnail();
    void thumbnailIsDrawnAgainWhenMissingOrAskedFor();
    void noThumbnailWithoutUsableCalibration();
};

void TestThumbnail::downloadedClipGetsAnUprightThumbnail()
{
    QTemporaryDir dir;
    const QString folder = makeFolder(dir.path(), 3, unitCalibration());
    QVERIFY(!folder.isEmpty());

    const QImage thumb(folder + "/thumb.tif");
    QVERIFY2(!thumb.isNull(), "no thumb.tif after the last block was stored");
    QCOMPARE(thumb.height(), 128);
    QCOMPARE(thumb.width(), 128 * kWidth / kHeight);
    // The picture, the right way up: bright top-left, dark elsewhere.
    QVERIFY(lightness(thumb, 0.25, 0.25) > lightness(thumb, 0.75, 0.25) + 80);
    QVERIFY(lightness(thumb, 0.25, 0.25) > lightness(thumb, 0.25, 0.75) + 80);
}

void TestThumbnail::thumbnailIsDrawnAgainWhenMissingOrAskedFor()
{
    QTemporaryDir dir;
    const QString folder = makeFolder(dir.path(), 2, unitCalibration());
    QVERIFY(!folder.isEmpty());
    const QString thumbPath = folder + "/thumb.tif";
    QVERIFY(QFile::remove(thumbPath));

    DrawingClip clip;
    QVERIFY(clip.openFolder(folder));
    QVERIFY2(QFileInfo::exists(thumbPath), "opening a folder without thumbnail draws one");

    QVERIFY(clip.updateThumbnail());
    QCOMPARE(QImage(thumbPath).height(), 128);
}

void TestThumbnail::noThumbnailWithoutUsableCalibration()
{
    QTemporaryDir dir;
    // Downloaded without calibration.
    const QString bare = makeFolder(dir.filePath("bare"), 2, QByteArray());
    QVERIFY(!bare.isEmpty());
    QVERIFY(!QFileInfo::exists(bare + "/thumb.tif"));

    // A calibration file one byte short cannot be loaded.
    QTemporaryDir other;
    const QString folder = makeFolder(other.path(), 2, unitCalibration());
    QVERIFY(!folder.isEmpty());
    QVERIFY(QFile::remove(folder + "/thumb.tif"));
    QVERIFY(QFile::resize(folder + "/calib.bin", kWidth * kHeight * 8 - 1));
    DrawingClip clip;
    QVERIFY(clip.openFolder(folder));
    QVERIFY(!QFileInfo::exists(folder + "/thumb.tif"));
    QVERIFY(!clip.updateThumbnail());
}

QTEST_MAIN(TestThumbnail)
#include "tst_pipeline_thumbnail.moc"
