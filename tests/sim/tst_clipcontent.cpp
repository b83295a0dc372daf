#include "sim/ClipContent.h"
#include "sim/SimConfig.h"

#include <QCryptographicHash>
#include <QSet>
#include <QTest>
#include <QtEndian>

namespace {

QByteArray frames(const SimClip& clip, quint64 first, quint64 count)
{
    QByteArray out(qsizetype(count * frameSize(clip)), '\0');
    fillFrames(clip, first, count, reinterpret_cast<uchar*>(out.data()));
    return out;
}

} // namespace

class TestClipContent : public QObject {
    Q_OBJECT

    const SimClip hd_ = SimConfig::makeClip(3, 1920, 1080, 50, 60, 2901180001);
    const SimClip padded_ = SimConfig::makeClip(4, 2048, 1080, 20, 60, 2901180001, 2048 * 1080 + 5000);

private slots:
    void sizes()
    {
        QCOMPARE(frameSize(hd_), quint64(1920 * 1080));
        QCOMPARE(frameSize(padded_), quint64(2048 * 1080 + 5000)); // flag 0x40
        QCOMPARE(clipBytes(hd_), quint64(50) * 1920 * 1080);
        QCOMPARE(calibrationBytes(SimConfig::makeClip(0, 2048, 1080, 1, 1, 0)), quint64(17694720));
    }

    // Any split of the frame area gives the same bytes: a transfer asks for arbitrary spans.
    void piecewiseEqualsWhole_data()
    {
        QTest::addColumn<bool>("padded");
        QTest::newRow("lineBytes x lineCount") << false;
        QTest::newRow("explicit frameBytes") << true;
    }
    void piecewiseEqualsWhole()
    {
        QFETCH(bool, padded);
        const SimClip& clip = padded ? padded_ : hd_;
        const QByteArray whole = frames(clip, 2, 3);
        const quint64 base = 2 * frameSize(clip);
        QByteArray pieces(whole.size(), '\0');
        qsizetype at = 0;
        for (qsizetype step : {1, 7, 8952, 4095, 100000, 13, 3000000}) {
            const qsizetype n = std::min(step, whole.size() - at);
            fillClipBytes(clip, base + quint64(at), n, reinterpret_cast<uchar*>(pieces.data()) + at);
            at += n;
        }
        fillClipBytes(clip, base + quint64(at), whole.size() - at, reinterpret_cast<uchar*>(pieces.data()) + at);
        QCOMPARE(pieces, whole);

        // Calibration likewise, including spans that cut a pixel's 8 bytes.
        QByteArray calib(100003, '\0'), split(100003, '\0');
        fillCalibration(clip, 12345, calib.size(), reinterpret_cast<uchar*>(calib.data()));
        fillCalibration(clip, 12345, 5, reinterpret_cast<uchar*>(split.data()));
        fillCalibration(clip, 12350, split.size() - 5, reinterpret_cast<uchar*>(split.data()) + 5);
        QCOMPARE(split, calib);
    }

    // Row 0: G B G B ..., row 1: R G R G ... of a picture with colour bars on top.
    void bayerMosaicOfTheScene()
    {
        const QByteArray f = frames(hd_, 0, 1);
        auto at = [&](int x, int y) { return quint8(f[y * 1920 + x]); };
        // The yellow bar (second of eight, full red and green, no blue) near the top.
        const int x = 1920 / 8 + 100, y = 100;
        QVERIFY(at(x, y) > 150);           // G
        QCOMPARE(at(x + 1, y), quint8(0)); // B
        QVERIFY(at(x, y + 1) > 150);       // R
        // The blue bar (seventh): no red, no green.
        const int bx = 1920 * 6 / 8 + 100;
        QCOMPARE(at(bx, y), quint8(0));
        QVERIFY(at(bx + 1, y) > 150);
        QCOMPARE(at(bx, y + 1), quint8(0));
        // The picture moves: the same spot differs a few frames later.
        const QByteArray later = frames(hd_, 30, 1);
        QVERIFY(later.mid(100 * 1920 + 200, 1000) != f.mid(100 * 1920 + 200, 1000));
    }

    // A misplaced packet or frame must show: every frame and every 8952-byte span differs from
    // every other one near it.
    void framesAndPacketSpansAreAllDistinct_data()
    {
        QTest::addColumn<bool>("padded");
        QTest::newRow("lineBytes x lineCount") << false;
        QTest::newRow("explicit frameBytes") << true;
    }
    void framesAndPacketSpansAreAllDistinct()
    {
        QFETCH(bool, padded);
        const SimClip& clip = padded ? padded_ : hd_;
        const QByteArray data = frames(clip, 0, 6);
        QSet<QByteArray> spans;
        qsizetype count = 0;
        for (qsizetype at = 0; at + 8952 <= data.size(); at += 8952, ++count)
            spans.insert(QCryptographicHash::hash(data.mid(at, 8952), QCryptographicHash::Md5));
        QCOMPARE(spans.size(), count);

        QSet<QByteArray> framesSeen;
        for (quint64 f = 0; f < clip.info.totalFrames; ++f)
            framesSeen.insert(QCryptographicHash::hash(frames(clip, f, 1), QCryptographicHash::Md5));
        QCOMPARE(framesSeen.size(), qsizetype(clip.info.totalFrames));
    }

    void calibrationIsAMildDeterministicPolynomial()
    {
        const SimClip& clip = hd_;
        const quint64 pixels = quint64(clip.info.width) * clip.info.height;
        QByteArray block(qsizetype(calibrationBytes(clip)), '\0');
        fillCalibration(clip, 0, block.size(), reinterpret_cast<uchar*>(block.data()));
        QSet<qint16> offsets;
        for (quint64 p = 0; p < pixels; p += 997) {
            const auto c = calibrationAt(clip, p);
            for (int k = 0; k < 4; ++k)
                QCOMPARE(qFromLittleEndian<qint16>(block.constData() + 8 * p + 2 * k), c.c[k]);
            offsets.insert(c.c[0]);
            const double c0 = c.c[0] / 1024.0, c1 = c.c[1] / 1024.0, c2 = c.c[2] / 1024.0, c3 = c.c[3] / 1024.0;
            // Not the identity, but close to it, and it never folds over inside 0..1.
            QVERIFY(c1 > 1.0 && c1 < 1.1);
            QVERIFY(c2 * c2 - 3 * c3 * c1 < 0);
            for (double v = 0; v <= 1.0; v += 0.125) {
                const double out = c0 + c1 * v + c2 * v * v + c3 * v * v * v;
                QVERIFY(std::abs(out - v) < 0.06);
            }
        }
        QVERIFY(offsets.size() > 1); // the coefficients vary from pixel to pixel
        // Another clip of the same size has its own block.
        SimClip other = clip;
        other.info.clipUid ^= 1;
        QVERIFY(calibrationAt(other, 5).c[0] != calibrationAt(clip, 5).c[0]
                || calibrationAt(other, 5).c[1] != calibrationAt(clip, 5).c[1]
                || calibrationAt(other, 6).c[0] != calibrationAt(clip, 6).c[0]);
        // Past the block's end only zeros.
        QByteArray tail(16, '\x55');
        fillCalibration(clip, calibrationBytes(clip) - 8, tail.size(), reinterpret_cast<uchar*>(tail.data()));
        QCOMPARE(tail.mid(8), QByteArray(8, '\0'));
    }
};

QTEST_GUILESS_MAIN(TestClipContent)
#include "tst_clipcontent.moc"
