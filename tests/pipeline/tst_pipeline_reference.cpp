// The GPU pipeline against the CPU model, pass by pass. Each pass is checked on the GPU's own
// input to that pass (so one pass's rounding cannot flip a later pass's decisions), and the
// read-back 8-bit picture against the model's conversion of the GPU's final float image.

#include "ReferencePipeline.h"
#include "SyntheticMosaic.h"

#include "render/pipeline/CalibrationPlanes.h"
#include "render/pipeline/OffscreenRenderer.h"
#include "render/state/RenderState.h"

#include <QtEndian>
#include <QtTest>

#include <cmath>

using kvx::BaseLegacyPipe;

namespace {

// Float passes may differ by the GPU's exp/pow approximations; 8-bit output by one code of
// rounding.
constexpr float kFloatTolerance = 2e-3f;
constexpr int kByteTolerance = 1;

constexpr int kWidth = 42; // 42 x 3 bytes per row: read-back rows are not 4-byte multiples
constexpr int kHeight = 30;
constexpr int kFrames = 9;

QByteArray smoothCalibration()
{
    QByteArray bytes(kWidth * kHeight * 8, 0);
    for (int p = 0; p < kWidth * kHeight; ++p) {
        const int c = p % kWidth;
        const int r = p / kWidth;
        const qint16 values[4] = {qint16(10 - (c % 5) * 4), qint16(1024 + 8 * c - 5 * r), qint16(60 - 3 * r),
                                  qint16(-20 + c)};
        for (int k = 0; k < 4; ++k)
            qToLittleEndian<qint16>(values[k], bytes.data() + p * 8 + k * 2);
    }
    return bytes;
}

refpipe::Image gpuImage(BaseLegacyPipe& pipe, BaseLegacyPipe::Pass pass)
{
    const int channels = pass == BaseLegacyPipe::Pass::Preprocessed ? 1 : 3;
    refpipe::Image image(pipe.width(), pipe.height(), channels);
    const QVector<float> values = pipe.passImage(pass);
    image.values.assign(values.begin(), values.end());
    return image;
}

void compareImages(const refpipe::Image& gpu, const refpipe::Image& ref, const char* what)
{
    QCOMPARE(gpu.values.size(), ref.values.size());
    float worst = 0;
    size_t worstAt = 0;
    for (size_t i = 0; i < gpu.values.size(); ++i) {
        const float d = std::abs(gpu.values[i] - ref.values[i]);
        if (!(d <= worst)) {
            worst = d;
            worstAt = i;
        }
    }
    const size_t pixel = worstAt / size_t(gpu.channels);
    QVERIFY2(worst <= kFloatTolerance,
             qPrintable(QStringLiteral("%1: difference %2 at x %3, y %4 (gpu %5, reference %6)")
                            .arg(what)
                            .arg(double(worst))
                            .arg(pixel % size_t(gpu.width))
                            .arg(pixel / size_t(gpu.width))
                            .arg(double(gpu.values[worstAt]))
                            .arg(double(ref.values[worstAt]))));
}

} // namespace

class TestPipelineReference : public QObject {
    Q_OBJECT

private slots:
    void initTestCase();
    void passesMatchReference_data();
    void passesMatchReference();
    void temporalWindowMatchesReference_data();
    void temporalWindowMatchesReference();

private:
    void checkPasses(const std::vector<const uchar*>& layers, const refpipe::Calibration& cal);

    kvx::OffscreenRenderer renderer_;
    QByteArray clip_;
    kvx::FrameBlock frames_;
};

void TestPipelineReference::initTestCase()
{
    // Without a context the pipeline cannot be checked at all: that is a failure, not a skip.
    QVERIFY2(renderer_.open(QSize(kWidth, kHeight)), "no OpenGL context or pipeline");
    clip_ = testdata::mosaicFrames(kWidth, kHeight, kFrames, testdata::busyScene);
    frames_ = kvx::FrameBlock::describe(reinterpret_cast<const uchar*>(clip_.constData()), kFrames, kWidth, kHeight,
                                        qint64(kWidth) * kHeight);
}

void TestPipelineReference::checkPasses(const std::vector<const uchar*>& layers, const refpipe::Calibration& cal)
{
    BaseLegacyPipe& pipe = renderer_.pipe();
    const kvx::PipeParams& params = pipe.params();

    const refpipe::Image pre = gpuImage(pipe, BaseLegacyPipe::Pass::Preprocessed);
    compareImages(pre, refpipe::preprocess(layers, kWidth, kHeight, params.prelim, cal), "pre-processing");
    const refpipe::Image rgb = gpuImage(pipe, BaseLegacyPipe::Pass::Demosaiced);
    compareImages(rgb, refpipe::demosaic(pre, params.debayer), "demosaicing");
    const refpipe::Image coloured = gpuImage(pipe, BaseLegacyPipe::Pass::Coloured);
    compareImages(coloured, refpipe::colour(rgb, params.colour), "colour");

    const QByteArray shown = renderer_.readFrame();
    const std::vector<uchar> expected = refpipe::readBack(coloured, params.output, true);
    QCOMPARE(size_t(shown.size()), expected.size());
    for (size_t i = 0; i < expected.size(); ++i) {
        const int d = std::abs(int(uchar(shown[qsizetype(i)])) - int(expected[i]));
        QVERIFY2(d <= kByteTolerance, qPrintable(QStringLiteral("output byte %1 off by %2").arg(i).arg(d)));
    }
}

void TestPipelineReference::passesMatchReference_data()
{
    QTest::addColumn<int>("demoState");
    QTest::addColumn<bool>("calibrated");
    QTest::addColumn<bool>("sharpen");
    QTest::addColumn<bool>("plain");
    const char* names[] = {"gradient", "malvar", "median", "edge display", "raw sites", "mono"};
    for (int demo = 0; demo <= 5; ++demo) {
        QTest::addRow("%s, uncalibrated", names[demo]) << demo << false << false << false;
        QTest::addRow("%s, polynomial", names[demo]) << demo << true << false << false;
    }
    QTest::addRow("gradient, sharpened") << 0 << false << true << false;
    // Every step that can be switched off, off: the passes run other program variants.
    QTest::addRow("gradient, plain") << 0 << false << false << true;
    QTest::addRow("median, plain, sharpened") << 2 << true << true << true;
}

void TestPipelineReference::passesMatchReference()
{
    QFETCH(int, demoState);
    QFETCH(bool, calibrated);
    QFETCH(bool, sharpen);
    QFETCH(bool, plain);

    BaseLegacyPipe& pipe = renderer_.pipe();
    const QByteArray calibration = smoothCalibration();
    RenderState state;
    state.setValue(QStringLiteral("DemoState"), QVariant::fromValue(render::Demosaicing(demoState)));
    state.setValue(QStringLiteral("SharpState"), sharpen ? 1 : 0);
    state.setValue(QStringLiteral("SharpGain"), 40.0);
    state.setValue(QStringLiteral("SharpThresh"), 2.0);
    if (plain) {
        for (const char* name : {"DegammaState", "DarkSubState", "HotPixElimState"})
            state.setValue(QLatin1String(name), 0);
        for (const char* name : {"greenBalanceValue", "DNRUVThresh", "DNRYThresh"})
            state.setValue(QLatin1String(name), 0.0);
    }
    refpipe::Calibration cal;
    if (calibrated) {
        QVERIFY(pipe.uploadPolynomial(calibration, kWidth, kHeight));
        kvx::CalibrationPlanes planes;
        QVERIFY(kvx::splitCalibration(calibration, kWidth, kHeight, planes));
        for (int k = 0; k < 4; ++k)
            cal.poly[k].assign(planes.coefficients[k].begin(), planes.coefficients[k].end());
        state.setCalibrationMode(kvx::CalibrationMode::FullPolynomial);
    }
    pipe.applyRenderState(state);

    renderer_.beginFrames();
    renderer_.renderFrame(frames_, 2, 1);
    renderer_.renderFrame(frames_, 2, 1);
    checkPasses({frames_.frame(2)}, cal);
}

void TestPipelineReference::temporalWindowMatchesReference_data()
{
    QTest::addColumn<double>("ghostRemoval");
    QTest::addColumn<double>("tnkThresh");
    QTest::newRow("default filter") << 0.04 << 16.0;
    QTest::newRow("no ghost removal") << 0.0 << 16.0;
    QTest::newRow("strong filter") << 0.3 << 45.0;
}

void TestPipelineReference::temporalWindowMatchesReference()
{
    QFETCH(double, ghostRemoval);
    QFETCH(double, tnkThresh);

    BaseLegacyPipe& pipe = renderer_.pipe();
    RenderState state;
    state.setValue(QStringLiteral("GhostRemoval"), ghostRemoval);
    state.setValue(QStringLiteral("TNKThresh"), tnkThresh);
    pipe.applyRenderState(state);

    renderer_.beginFrames();
    renderer_.renderFrame(frames_, 4, 7);
    renderer_.renderFrame(frames_, 4, 7);
    std::vector<const uchar*> window;
    for (int f = 1; f <= 7; ++f)
        window.push_back(frames_.frame(f));
    checkPasses(window, refpipe::Calibration{});
}

QTEST_MAIN(TestPipelineReference)
#include "tst_pipeline_reference.moc"
