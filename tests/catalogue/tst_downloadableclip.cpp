#include "SampleClips.h"

#include "common/catalogue/DownloadableClip.h"

#include <QSignalSpy>

using ClipInfo = kvx::ClipInfoPacket::clipInfo;

using Segments = QList<ClipSegment>;

namespace {

// A clip of `frames` frames whose segments are already `segments`.
std::unique_ptr<DownloadableClip> clipWith(quint64 frames, const Segments& segments)
{
    auto clip = std::make_unique<DownloadableClip>(sampleClip(3, frames));
    for (const ClipSegment& s : segments)
        clip->addRange(s);
    return clip;
}

} // namespace

class TestDownloadableClip : public QObject {
    Q_OBJECT
private slots:
    void nextMissingRange_data()
    {
        QTest::addColumn<quint64>("frames");
        QTest::addColumn<Segments>("segments");
        QTest::addColumn<qint64>("start");
        QTest::addColumn<ClipSegment>("expected");

        const Segments gap{{0, 9}, {20, 99}};
        QTest::newRow("gap after start") << 100ull << gap << 0ll << ClipSegment{10, 19};
        QTest::newRow("wraps from the tail") << 100ull << gap << 50ll << ClipSegment{10, 19};
        QTest::newRow("start past the end") << 100ull << gap << 150ll << ClipSegment{10, 19};
        QTest::newRow("negative start") << 100ull << gap << -1ll << ClipSegment{10, 19};
        QTest::newRow("start inside a gap") << 100ull << gap << 15ll << ClipSegment{15, 19};
        QTest::newRow("nothing there") << 100ull << Segments{} << 40ll << ClipSegment{40, 99};
        QTest::newRow("head missing") << 100ull << Segments{{30, 99}} << 60ll << ClipSegment{0, 29};
        QTest::newRow("tail missing") << 100ull << Segments{{0, 49}} << 10ll << ClipSegment{50, 99};
        QTest::newRow("between two segments")
            << 100ull << Segments{{0, 9}, {20, 29}, {40, 99}} << 25ll << ClipSegment{30, 39};
        QTest::newRow("all there") << 100ull << Segments{{0, 99}} << 0ll << ClipSegment{100, 99};
        QTest::newRow("empty clip") << 0ull << Segments{} << 0ll << ClipSegment{0, -1};
    }

    void nextMissingRange()
    {
        QFETCH(quint64, frames);
        QFETCH(Segments, segments);
        QFETCH(qint64, start);
        QFETCH(ClipSegment, expected);
        QCOMPARE(clipWith(frames, segments)->nextMissingRange(start), expected);
    }

    void addRange_data()
    {
        QTest::addColumn<Segments>("before");
        QTest::addColumn<ClipSegment>("added");
        QTest::addColumn<Segments>("after");

        QTest::newRow("fills the only gap") << Segments{{0, 9}, {20, 99}} << ClipSegment{10, 19} << Segments{{0, 99}};
        QTest::newRow("touching below") << Segments{{10, 19}} << ClipSegment{0, 9} << Segments{{0, 19}};
        QTest::newRow("touching above") << Segments{{0, 9}} << ClipSegment{10, 19} << Segments{{0, 19}};
        QTest::newRow("apart, in order") << Segments{{0, 9}, {50, 59}} << ClipSegment{20, 29}
                                         << Segments{{0, 9}, {20, 29}, {50, 59}};
        QTest::newRow("before everything") << Segments{{50, 59}} << ClipSegment{0, 9} << Segments{{0, 9}, {50, 59}};
        QTest::newRow("swallows several")
            << Segments{{0, 4}, {10, 14}, {20, 24}, {40, 44}} << ClipSegment{3, 21} << Segments{{0, 24}, {40, 44}};
        QTest::newRow("inside one") << Segments{{0, 50}} << ClipSegment{10, 20} << Segments{{0, 50}};
        QTest::newRow("reversed ignored") << Segments{{0, 9}} << ClipSegment{30, 20} << Segments{{0, 9}};
        QTest::newRow("negative ignored") << Segments{{0, 9}} << ClipSegment{-5, 20} << Segments{{0, 9}};
    }

    void addRange()
    {
        QFETCH(Segments, before);
        QFETCH(ClipSegment, added);
        QFETCH(Segments, after);
        auto clip = clipWith(100, before);
        clip->addRange(added);
        QCOMPARE(clip->segments(), after);
    }

    void removeRange_data()
    {
        QTest::addColumn<Segments>("before");
        QTest::addColumn<ClipSegment>("removed");
        QTest::addColumn<Segments>("after");

        QTest::newRow("splits") << Segments{{0, 99}} << ClipSegment{10, 19} << Segments{{0, 9}, {20, 99}};
        QTest::newRow("trims both neighbours")
            << Segments{{0, 9}, {20, 29}} << ClipSegment{5, 24} << Segments{{0, 4}, {25, 29}};
        QTest::newRow("removes covered") << Segments{{0, 9}, {20, 29}, {40, 49}} << ClipSegment{15, 35}
                                         << Segments{{0, 9}, {40, 49}};
        QTest::newRow("exact") << Segments{{0, 9}} << ClipSegment{0, 9} << Segments{};
        QTest::newRow("in a gap") << Segments{{0, 9}, {20, 29}} << ClipSegment{10, 19} << Segments{{0, 9}, {20, 29}};
        QTest::newRow("reversed ignored") << Segments{{0, 9}} << ClipSegment{5, 2} << Segments{{0, 9}};
    }

    void removeRange()
    {
        QFETCH(Segments, before);
        QFETCH(ClipSegment, removed);
        QFETCH(Segments, after);
        auto clip = clipWith(100, before);
        clip->removeRange(removed);
        QCOMPARE(clip->segments(), after);
    }

    void countsCompletenessAndSignals()
    {
        auto clip = clipWith(100, {{0, 9}, {20, 99}});
        QCOMPARE(clip->downloadedFrames(), 90u);
        QVERIFY(!clip->isComplete());

        QSignalSpy segmentsSpy(clip.get(), &DownloadableClip::segmentListUpdated);
        QSignalSpy displaySpy(clip.get(), &DownloadableClip::displayChanged);
        clip->addRange({10, 19});
        QCOMPARE(clip->downloadedFrames(), 100u);
        QVERIFY(clip->isComplete());
        QCOMPARE(segmentsSpy.size(), 1);
        QCOMPARE(segmentsSpy.at(0).at(0).value<Segments>(), (Segments{{0, 99}}));
        QCOMPARE(displaySpy.size(), 1);

        // Nothing changes: nobody is told.
        clip->addRange({30, 40});
        clip->removeRange({200, 300});
        QCOMPARE(segmentsSpy.size(), 1);

        clip->removeRange({50, 59});
        QCOMPARE(clip->downloadedFrames(), 90u);
        QVERIFY(!clip->isComplete());
        QCOMPARE(segmentsSpy.size(), 2);
        QCOMPARE(displaySpy.size(), 2);

        // Frames beyond the clip's end do not make it complete.
        auto partial = clipWith(100, {{0, 120}});
        QVERIFY(!partial->isComplete());
    }

    void resetForgetsProgressButKeepsPosition()
    {
        auto clip = clipWith(100, {{0, 99}});
        clip->setLost(true);
        clip->setCalibrationPresent(true);
        clip->setCalibrationRequested(true);
        clip->setCurrentFrame(42);
        QSignalSpy segmentsSpy(clip.get(), &DownloadableClip::segmentListUpdated);

        clip->reset();
        QVERIFY(clip->segments().isEmpty());
        QCOMPARE(clip->downloadedFrames(), 0u);
        QVERIFY(!clip->isComplete());
        QVERIFY(!clip->isLost());
        QVERIFY(!clip->isCalibrationPresent());
        QVERIFY(!clip->isCalibrationRequested());
        QCOMPARE(clip->currentFrame(), 42);
        QCOMPARE(segmentsSpy.size(), 1);
    }

    void calibrationFinishedOnlyWhenItArrives()
    {
        DownloadableClip clip(sampleClip(0));
        QSignalSpy spy(&clip, &DownloadableClip::calibrationFileFinished);
        clip.setCalibrationPresent(true);
        clip.setCalibrationPresent(true);
        QCOMPARE(spy.size(), 1);
        clip.setCalibrationPresent(false);
        clip.setCalibrationPresent(true);
        QCOMPARE(spy.size(), 2);
    }

    void frameSizeAndRequiredBytes()
    {
        ClipInfo info = sampleClip(0, 1000);
        QCOMPARE(DownloadableClip(info).frameSize(), 1920 * 1080);
        QCOMPARE(DownloadableClip(info).requiredBytes(), 1008ll * 1920 * 1080 + 0xA00000);

        info.flags = 0x40;
        info.frameBytes = 4000000;
        QCOMPARE(DownloadableClip(info).frameSize(), 4000000);

        // The largest stored frame does not fit a signed 32-bit product.
        info.flags = 0;
        info.lineBytes = 65535;
        info.lineCount = 65535;
        QCOMPARE(DownloadableClip(info).frameSize(), 4294836225ll);
        QCOMPARE(DownloadableClip(info).requiredBytes(), 1008ll * 4294836225ll + 0xA00000);

        // An absurd frame count must not wrap into a size that looks affordable.
        info.totalFrames = 1ull << 40;
        QCOMPARE(DownloadableClip(info).requiredBytes(), std::numeric_limits<qint64>::max());
        info.totalFrames = ~0ull;
        QCOMPARE(DownloadableClip(info).requiredBytes(), std::numeric_limits<qint64>::max());
    }

    void texts()
    {
        ClipInfo info = sampleClip(3, 250);
        info.clipUid = 0x1122AABBCCDDull;
        DownloadableClip clip(info);
        QCOMPARE(clip.text(), QStringLiteral("Clip 4 (250 frames - 0.250 s)\n1920x1080 @ 1000 fps"));
        QCOMPARE(BaseRecClip(info).text(), QStringLiteral("Recorder clip 3"));

        clip.addRange({0, 99});
        const QStringList expected{
            " Clip #4",
            " Camera: 29-0118-0001",
            " Total frames: 250",
            " Total recording time: 0.25 s",
            " FPS: 1000",
            " Image resolution: 1920x1080 (HD)",
            " Clip UID: 1122aabbccdd",
            " Downloaded: 100 frames (0.100 s)",
        };
        QCOMPARE(clip.infoLines(), expected);

        clip.setLost(true);
        QCOMPARE(clip.text(), QStringLiteral("Clip 4 (lost)"));
        QCOMPARE(clip.infoLines(), QStringList{"Clip not seen in recorder"} + expected);
    }

    void textsFollowResolutionAndRate_data()
    {
        QTest::addColumn<quint16>("width");
        QTest::addColumn<float>("fps");
        QTest::addColumn<QString>("resolutionLine");
        QTest::addColumn<QString>("timeLine");
        QTest::addColumn<QString>("label");

        QTest::newRow("UHD") << quint16(3840) << 29.97f << " Image resolution: 3840x1080 (UHD)"
                             << " Total recording time: 33.3667 s"
                             << "Clip 1 (1000 frames - 33.367 s)\n3840x1080 @ 29 fps";
        QTest::newRow("other width") << quint16(2048) << 1000.0f << " Image resolution: 2048x1080"
                                     << " Total recording time: 1 s"
                                     << "Clip 1 (1000 frames - 1.000 s)\n2048x1080 @ 1000 fps";
        // A recorder that reports no rate must not produce "inf" or "nan".
        QTest::newRow("no rate") << quint16(1920) << 0.0f << " Image resolution: 1920x1080 (HD)"
                                 << " Total recording time: 0 s"
                                 << "Clip 1 (1000 frames - 0.000 s)\n1920x1080 @ 0 fps";
        QTest::newRow("nan rate") << quint16(1920) << std::numeric_limits<float>::quiet_NaN()
                                  << " Image resolution: 1920x1080 (HD)"
                                  << " Total recording time: 0 s"
                                  << "Clip 1 (1000 frames - 0.000 s)\n1920x1080 @ 0 fps";
    }

    void textsFollowResolutionAndRate()
    {
        QFETCH(quint16, width);
        QFETCH(float, fps);
        ClipInfo info = sampleClip(0, 1000);
        info.width = width;
        info.fps = fps;
        DownloadableClip clip(info);
        QTEST(clip.infoLines().at(5), "resolutionLine");
        QTEST(clip.infoLines().at(3), "timeLine");
        QTEST(clip.text(), "label");
    }
};

QTEST_MAIN(TestDownloadableClip)
#include "tst_downloadableclip.moc"
