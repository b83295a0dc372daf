// The pipeline's CPU-side logic: staging of frame windows, the calibration block's planes
// and the uniform values taken from a render state.

#include "render/pipeline/CalibrationPlanes.h"
#include "render/pipeline/FrameWindow.h"
#include "render/pipeline/PipeParams.h"
#include "render/state/RenderState.h"

#include <QtEndian>
#include <QtTest>

#include <vector>

class TestPipeLogic : public QObject {
    Q_OBJECT

private slots:
    void windowStartWrapsAndClamps_data();
    void windowStartWrapsAndClamps();
    void stagingRepeatsLastFrameAndHonoursStride_data();
    void stagingRepeatsLastFrameAndHonoursStride();
    void stagingAnEmptyBlockWritesNothing();
    void mappedBlockHoldsOnlyWholePictures_data();
    void mappedBlockHoldsOnlyWholePictures();
    void calibrationPlanesScaleByTenFractionBits();
    void calibrationOfWrongSizeIsRejected_data();
    void calibrationOfWrongSizeIsRejected();
    void demosaicModesSetTheirSwitches_data();
    void demosaicModesSetTheirSwitches();
    void colourCorrectionOffGivesIdentity();
    void stateValuesAreScaledForTheShaders();
    void calibrationModeOutsideRangeKeepsCurrent();
};

void TestPipeLogic::windowStartWrapsAndClamps_data()
{
    QTest::addColumn<qint64>("frame");
    QTest::addColumn<int>("span");
    QTest::addColumn<qint64>("count");
    QTest::addColumn<qint64>("first");
    QTest::newRow("centred") << qint64(10) << 7 << qint64(100) << qint64(7);
    QTest::newRow("single frame") << qint64(10) << 1 << qint64(100) << qint64(10);
    QTest::newRow("wraps to the end") << qint64(1) << 7 << qint64(100) << qint64(98);
    QTest::newRow("clip shorter than half a window") << qint64(0) << 7 << qint64(2) << qint64(0);
}

void TestPipeLogic::windowStartWrapsAndClamps()
{
    QFETCH(qint64, frame);
    QFETCH(int, span);
    QFETCH(qint64, count);
    QFETCH(qint64, first);
    QCOMPARE(kvx::frameWindowStart(frame, span, count), first);
}

void TestPipeLogic::stagingRepeatsLastFrameAndHonoursStride_data()
{
    QTest::addColumn<int>("padding");
    QTest::newRow("contiguous") << 0;
    QTest::newRow("padded frames") << 5;
}

void TestPipeLogic::stagingRepeatsLastFrameAndHonoursStride()
{
    QFETCH(int, padding);
    const int w = 4, h = 2, count = 5;
    const qint64 stride = w * h + padding;
    std::vector<uchar> clip(size_t(stride * count), 0xEE);
    for (int f = 0; f < count; ++f)
        for (int i = 0; i < w * h; ++i)
            clip[size_t(f * stride + i)] = uchar(f * 16 + i);
    const auto block = kvx::FrameBlock::describe(clip.data(), count, w, h, stride);
    QCOMPARE(block.contiguous, padding == 0);

    std::vector<uchar> staged(size_t(7 * w * h), 0);
    QCOMPARE(kvx::stageFrameWindow(block, 3, 7, staged.data()), 7);
    // Window 0..6 of a 5-frame clip: frames 0..4, then frame 4 twice more. No padding byte
    // may leak into a layer.
    const int expectedFrames[7] = {0, 1, 2, 3, 4, 4, 4};
    for (int layer = 0; layer < 7; ++layer)
        for (int i = 0; i < w * h; ++i)
            QCOMPARE(int(staged[size_t(layer * w * h + i)]), expectedFrames[layer] * 16 + i);
}

void TestPipeLogic::stagingAnEmptyBlockWritesNothing()
{
    uchar dest[4] = {1, 2, 3, 4};
    QCOMPARE(kvx::stageFrameWindow(kvx::FrameBlock{}, 0, 1, dest), 0);
    QCOMPARE(dest[0], uchar(1));
}

void TestPipeLogic::mappedBlockHoldsOnlyWholePictures_data()
{
    QTest::addColumn<qint64>("mapped");
    QTest::addColumn<qint64>("stride");
    QTest::addColumn<qint64>("frames");
    QTest::newRow("whole file") << qint64(5 * 8) << qint64(8) << qint64(5);
    QTest::newRow("file one byte short") << qint64(5 * 8 - 1) << qint64(8) << qint64(4);
    QTest::newRow("longer than the clip") << qint64(9 * 8) << qint64(8) << qint64(5);
    // Explicit frame size below width x height: the last slot cannot hold a whole picture.
    QTest::newRow("slots smaller than a picture") << qint64(5 * 6) << qint64(6) << qint64(4);
    QTest::newRow("smaller than one picture") << qint64(7) << qint64(8) << qint64(0);
}

void TestPipeLogic::mappedBlockHoldsOnlyWholePictures()
{
    QFETCH(qint64, mapped);
    QFETCH(qint64, stride);
    QFETCH(qint64, frames);
    const uchar byte = 0;
    const auto block = kvx::FrameBlock::describeMapped(&byte, mapped, 5, 4, 2, stride);
    QCOMPARE(block.frameCount, frames);
    QCOMPARE(block.isEmpty(), frames == 0);
    if (frames > 0)
        QVERIFY((frames - 1) * stride + 8 <= mapped);
}

void TestPipeLogic::calibrationPlanesScaleByTenFractionBits()
{
    // Two pixels: (0x0400, 0xFC00, 0x0001, 0x7FFF) and (0, 0x0200, 0xFE00, 0x8000).
    const QByteArray block = QByteArray::fromHex("0004"
                                                 "00FC"
                                                 "0100"
                                                 "FF7F"
                                                 "0000"
                                                 "0002"
                                                 "00FE"
                                                 "0080");
    kvx::CalibrationPlanes planes;
    QVERIFY(kvx::splitCalibration(block, 2, 1, planes));
    QCOMPARE(planes.coefficients[0][0], 1.0f);
    QCOMPARE(planes.coefficients[1][0], -1.0f);
    QCOMPARE(planes.coefficients[2][0], 1.0f / 1024.0f);
    QCOMPARE(planes.coefficients[3][0], 32767.0f / 1024.0f);
    QCOMPARE(planes.coefficients[0][1], 0.0f);
    QCOMPARE(planes.coefficients[1][1], 0.5f);
    QCOMPARE(planes.coefficients[2][1], -0.5f);
    QCOMPARE(planes.coefficients[3][1], -32.0f);
}

void TestPipeLogic::calibrationOfWrongSizeIsRejected_data()
{
    QTest::addColumn<int>("bytes");
    QTest::newRow("one byte short") << 2 * 2 * 8 - 1;
    QTest::newRow("one byte over") << 2 * 2 * 8 + 1;
    QTest::newRow("empty") << 0;
}

void TestPipeLogic::calibrationOfWrongSizeIsRejected()
{
    QFETCH(int, bytes);
    kvx::CalibrationPlanes planes;
    QVERIFY(!kvx::splitCalibration(QByteArray(bytes, 1), 2, 2, planes));
    QVERIFY(planes.coefficients[0].isEmpty());
}

void TestPipeLogic::demosaicModesSetTheirSwitches_data()
{
    QTest::addColumn<int>("demo");
    QTest::addColumn<int>("malvar");
    QTest::addColumn<int>("hirakawa");
    QTest::addColumn<int>("edgeDetect");
    QTest::addColumn<int>("off");
    QTest::newRow("gradient-directed") << 0 << 0 << 1 << 0 << 0;
    QTest::newRow("Malvar-He-Cutler") << 1 << 1 << 0 << 0 << 0;
    QTest::newRow("edge-directed median") << 2 << 0 << 0 << 0 << 0;
    QTest::newRow("edge display") << 3 << 0 << 1 << 1 << 0;
    QTest::newRow("raw sites") << 4 << 0 << 0 << 0 << 1;
    QTest::newRow("monochrome") << 5 << 0 << 2 << 0 << 0;
}

void TestPipeLogic::demosaicModesSetTheirSwitches()
{
    QFETCH(int, demo);
    RenderState state;
    state.setValue(QStringLiteral("DemoState"), QVariant::fromValue(render::Demosaicing(demo)));
    const kvx::DebayerParams p = kvx::pipeParamsFromState(state, false, 0).debayer;
    QTEST(p.malvarHeCutler, "malvar");
    QTEST(p.hirakawa, "hirakawa");
    QTEST(p.edgeDetect, "edgeDetect");
    QTEST(p.demosaicDis, "off");
    QCOMPARE(p.gradInterpolate, 0);
}

void TestPipeLogic::colourCorrectionOffGivesIdentity()
{
    RenderState state;
    RenderState::Matrix3x1Double offsets;
    offsets(0, 0) = 0.1;
    offsets(1, 0) = -0.2;
    offsets(2, 0) = 0.3;
    state.setValue(QStringLiteral("ColorOffsets"), QVariant::fromValue(offsets));

    kvx::ColourParams on = kvx::pipeParamsFromState(state, false, 0).colour;
    QCOMPARE(on.matrix[0][1], -0.292f); // row red, green input of the default matrix
    QCOMPARE(on.matrix[2][0], 0.055f);
    QCOMPARE(on.offsets[1], -0.2f);

    state.setValue(QStringLiteral("ColorCorrectionState"), 0);
    const kvx::ColourParams off = kvx::pipeParamsFromState(state, false, 0).colour;
    QCOMPARE(off.matrix, (kvx::ColourParams{}.matrix));
    QCOMPARE(off.offsets, (kvx::Vec3f{0, 0, 0}));
}

void TestPipeLogic::stateValuesAreScaledForTheShaders()
{
    RenderState state;
    kvx::PipeParams p = kvx::pipeParamsFromState(state, false, 0);
    QCOMPARE(p.prelim.tnkThresh, 32.0f);
    QCOMPARE(p.prelim.greenBalance, 0.0075f);
    QCOMPARE(p.prelim.hotPixDis, 0);
    QCOMPARE(p.prelim.linearizationType, 0); // no table loaded
    QCOMPARE(p.colour.dnrEnabled, 1);
    QCOMPARE(p.colour.dnrThresh, 0.0004f);
    QCOMPARE(p.colour.dnrYThresh, 0.00002f);
    QCOMPARE(p.colour.sharpen, 0.0f); // sharpening off by default
    QCOMPARE(p.colour.gamma, (kvx::Vec3f{2.2f, 2.2f, 2.2f}));
    QVERIFY(p.output.smoothing);
    QCOMPARE(kvx::pipeParamsFromState(state, true, 0).prelim.linearizationType, 1);

    state.setValue(QStringLiteral("DNRUVThresh"), 0.0);
    state.setValue(QStringLiteral("DNRYThresh"), 0.0);
    state.setValue(QStringLiteral("SharpState"), 1);
    state.setValue(QStringLiteral("HotPixElimState"), 0);
    state.setValue(QStringLiteral("Gamma"), 0.0);
    state.setValue(QStringLiteral("FlipVertical"), 1);
    p = kvx::pipeParamsFromState(state, false, 0);
    QCOMPARE(p.colour.dnrEnabled, 0);
    QCOMPARE(p.colour.sharpen, 4.0f);
    QCOMPARE(p.prelim.hotPixDis, 1);
    // A zero gamma would raise every pixel to an infinite power.
    QCOMPARE(p.colour.gamma[0], kvx::kMinimumGamma);
    QVERIFY(p.output.flipVertical);
}

void TestPipeLogic::calibrationModeOutsideRangeKeepsCurrent()
{
    RenderState state;
    state.setCalibrationMode(kvx::CalibrationMode::FullPolynomial);
    QCOMPARE(kvx::pipeParamsFromState(state, false, 1).prelim.calibMode, 2);
    state.setCalibrationMode(kvx::CalibrationMode(7));
    QCOMPARE(kvx::pipeParamsFromState(state, false, 1).prelim.calibMode, 1);
}

QTEST_MAIN(TestPipeLogic)
#include "tst_pipe_logic.moc"
