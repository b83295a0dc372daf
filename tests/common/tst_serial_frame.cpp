// Frames around packets on a byte stream: what is sent, and what the reader finds in a stream
// with garbage, broken frames and pieces of any size.
#include "common/packets/SerialFrame.h"
#include "common/wire/LittleEndian.h"

#include <QtTest>

using kvx::SerialFrame;
using kvx::SerialFrameReader;

namespace {

// Everything the reader delivers from the stream, fed in pieces of the given size.
QList<QByteArray> read(const QByteArray& stream, qsizetype piece = 1 << 20)
{
    SerialFrameReader reader;
    QList<QByteArray> out;
    for (qsizetype at = 0; at < stream.size(); at += piece)
        reader.feed(QByteArrayView(stream).sliced(at, qMin(piece, stream.size() - at)),
                    [&](QByteArrayView payload) { out.append(payload.toByteArray()); });
    return out;
}

QByteArray frame(const QByteArray& payload)
{
    return SerialFrame::encode(payload).value();
}

// A frame of any length, as a recorder may send it (the encoder stops at 256 bytes).
QByteArray bigFrame(qsizetype payloadSize)
{
    const QByteArray payload(payloadSize, 'x');
    QByteArray f = SerialFrame::pattern() + kvx::wire::zeroed(4) + payload;
    kvx::wire::Writer(f).u16(6, quint16(f.size() + 4));
    kvx::wire::Writer(f).u16(8, quint16(f.size() + 4));
    const quint32 sum = SerialFrame::checksum(f);
    f.append(kvx::wire::zeroed(4));
    kvx::wire::Writer(f).u32(f.size() - 4, sum);
    return f;
}

} // namespace

class TestSerialFrame : public QObject {
    Q_OBJECT
private slots:
    void sentFrames()
    {
        const QByteArray f = frame("#ss$");
        QCOMPARE(f.first(14).toHex(),
                 QByteArray("fff0ff0fffff120012002373"
                            "7324"));
        // The checksum: words ff f0 ff 0f, ff ff 12 00, 12 00 23 73, 73 24 00 00 (little-endian)
        // added with the carry folded back.
        quint64 sum = 0;
        for (quint64 w : {0x0FFFF0FFull, 0x0012FFFFull, 0x73230012ull, 0x2473ull}) {
            sum += w;
            if (sum >> 32)
                sum = (sum >> 32) + (sum & 0xFFFFFFFF);
        }
        QCOMPARE(kvx::wire::Reader(f).u32(14), quint32(sum));
        QCOMPARE(f.size(), 18);
        QCOMPARE(frame(QByteArray(242, 'a')).size(), 256);
        QVERIFY(!SerialFrame::encode(QByteArray(243, 'a')));
    }

    void brokenFramesAreSkipped()
    {
        QByteArray unequal = frame("#sc$");
        unequal[8] = char(unequal[8] + 1);
        QByteArray wrongSum = frame("#st1.00$");
        wrongSum[12] = 'X';
        QByteArray oversized = bigFrame(10);
        kvx::wire::Writer(oversized).u16(6, 2049);
        kvx::wire::Writer(oversized).u16(8, 2049);
        QByteArray tooShort = frame("ab");
        kvx::wire::Writer(tooShort).u16(6, 12);
        kvx::wire::Writer(tooShort).u16(8, 12);
        const QByteArray stream = QByteArray("garbage\xff\xf0", 9) + frame("one") + unequal + frame("two") + wrongSum
            + frame("three") + oversized + "\xff" + frame("four") + tooShort + frame("five") + frame("cut").left(12)
            + frame("six");
        const QList<QByteArray> expected{"one", "two", "three", "four", "five", "six"};
        for (qsizetype piece : {1, 5, 128, 4096})
            QCOMPARE(read(stream, piece), expected);
    }

    void largestFrames()
    {
        // What a recorder may send: frames up to 2048 bytes, back to back.
        const QByteArray largest = bigFrame(2048 - 14);
        QCOMPARE(largest.size(), 2048);
        const QList<QByteArray> got = read(largest + largest + frame("after"), 100);
        QCOMPARE(got.size(), 3);
        QCOMPARE(got[0], QByteArray(2034, 'x'));
        QCOMPARE(got[2], QByteArray("after"));
    }
};

QTEST_APPLESS_MAIN(TestSerialFrame)
#include "tst_serial_frame.moc"
