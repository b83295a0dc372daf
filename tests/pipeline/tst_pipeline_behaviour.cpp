// What a user of the pipeline sees: grey monochrome, raw colour sites, true colours up to the
// border, upright and mirrored pictures, identity colour, saturation past the polynomial's
// turning point, the one-call delay of the double-buffered upload, and neutral calibration
// textures.

#include "SyntheticMosaic.h"

#include "render/pipeline/OffscreenRenderer.h"
#include "render/state/RenderState.h"

#include <QOpenGLContext>
#include <QOpenGLFramebufferObject>
#include <QOpenGLFunctions>
#include <QtEndian>
#include <QtTest>

#include <cmath>
#include <stdexcept>

using kvx::BaseLegacyPipe;
using kvx::OffscreenRenderer;

namespace {

struct Clip {
    QByteArray bytes;
    kvx::FrameBlock block;

    Clip(int w, int h, int frames, const testdata::Scene& scene) : bytes(testdata::mosaicFrames(w, h, frames, scene))
    {
        block =
            kvx::FrameBlock::describe(reinterpret_cast<const uchar*>(bytes.constData()), frames, w, h, qint64(w) * h);
    }
};

// A state that shows the sensor values unchanged: no filtering, calibration, gamma or boost.
void makePlain(RenderState& state)
{
    state.setValue(QStringLiteral("DegammaState"), 0);
    state.setValue(QStringLiteral("DarkSubState"), 0);
    state.setValue(QStringLiteral("PSCScaleState"), 0);
    state.setValue(QStringLiteral("HotPixElimState"), 0);
    state.setValue(QStringLiteral("greenBalanceValue"), 0.0);
    state.setValue(QStringLiteral("DNRUVThresh"), 0.0);
    state.setValue(QStringLiteral("DNRYThresh"), 0.0);
    state.setValue(QStringLiteral("ColorCorrectionState"), 0);
    state.setValue(QStringLiteral("Gamma"), 1.0);
    state.setValue(QStringLiteral("Saturation"), 1.0);
}

void setDemosaic(RenderState& state, render::Demosaicing mode)
{
    state.setValue(QStringLiteral("DemoState"), QVariant::fromValue(mode));
}

// Renders frame f so that the read-back shows it (the second call uploads what the first
// staged) and returns the picture.
QByteArray show(OffscreenRenderer& renderer, const kvx::FrameBlock& frames, qint64 f, int span = 1)
{
    renderer.beginFrames();
    renderer.renderFrame(frames, f, span);
    renderer.renderFrame(frames, f, span);
    return renderer.readFrame();
}

int channel(const QByteArray& rgb, int width, int x, int y, int c)
{
    return uchar(rgb[(qsizetype(y) * width + x) * 3 + c]);
}

int brightness(const QByteArray& rgb, int width, int x, int y)
{
    return channel(rgb, width, x, y, 0) + channel(rgb, width, x, y, 1) + channel(rgb, width, x, y, 2);
}

// A driver that refuses the passes' frame buffers while refuse is set.
struct RefusingPipe : BaseLegacyPipe {
    bool refuse = false;
    std::unique_ptr<QOpenGLFramebufferObject> makePassTarget(const QSize& size, GLenum internalFormat) override
    {
        return BaseLegacyPipe::makePassTarget(refuse ? QSize(0, 0) : size, internalFormat);
    }
};

// Texture and buffer objects alive in the current context, among the first names handed out.
std::pair<int, int> liveTexturesAndBuffers()
{
    QOpenGLFunctions* gl = QOpenGLContext::currentContext()->functions();
    int textures = 0;
    int buffers = 0;
    for (GLuint name = 1; name < 1000; ++name) {
        textures += gl->glIsTexture(name) ? 1 : 0;
        buffers += gl->glIsBuffer(name) ? 1 : 0;
    }
    return {textures, buffers};
}

} // namespace

class TestPipelineBehaviour : public QObject {
    Q_OBJECT

private slots:
    void monochromeIsGrey();
    void rawSitesShowTheMosaicUpright();
    void flatColourReachesTheBorder_data();
    void flatColourReachesTheBorder();
    void orientationFollowsFlipsAndRotation_data();
    void orientationFollowsFlipsAndRotation();
    void outputScaledToATargetOfAnotherSize();
    void colourCorrectionOffIgnoresMatrixAndOffsets();
    void pastTheTurningPointSaturates();
    void firstRenderAfterSeekShowsPreviousWindow();
    void uncalibratedClipKeepsItsPicture();
    void framesWithoutUsableSizeDrawNothing();
    void renderThreadsAreRefused();
    void failedResizeIsNotTakenAsTheNewSize();
    void initialisingAgainKeepsOneSetOfTextures();
};

void TestPipelineBehaviour::monochromeIsGrey()
{
    OffscreenRenderer renderer;
    QVERIFY2(renderer.open(QSize(32, 24)), "no OpenGL context or pipeline");
    const Clip clip(32, 24, 1, testdata::busyScene);
    RenderState state;
    setDemosaic(state, render::Demosaicing::Monochrome);
    // The colour matrix would tint it: its rows have different sums.
    state.setValue(QStringLiteral("ColorCorrectionState"), 0);
    renderer.pipe().applyRenderState(state);
    const QByteArray rgb = show(renderer, clip.block, 0);
    int distinct = 0;
    for (int i = 0; i < rgb.size(); i += 3) {
        QCOMPARE(rgb[i], rgb[i + 1]);
        QCOMPARE(rgb[i + 1], rgb[i + 2]);
        distinct += rgb[i] != rgb[0];
    }
    QVERIFY(distinct > 0); // grey, but still a picture
}

void TestPipelineBehaviour::rawSitesShowTheMosaicUpright()
{
    const int w = 10, h = 6;
    OffscreenRenderer renderer;
    QVERIFY2(renderer.open(QSize(w, h)), "no OpenGL context or pipeline");
    // Each site records a code of its own, so a swapped row or column shows up.
    const Clip clip(w, h, 1, [](int c, int r, int) {
        const int v = 20 + 10 * r + 2 * c;
        return testdata::Rgb8{v, v, v};
    });
    RenderState state;
    makePlain(state);
    setDemosaic(state, render::Demosaicing::Off);
    renderer.pipe().applyRenderState(state);
    const QByteArray rgb = show(renderer, clip.block, 0);

    for (int r = 0; r < h; ++r) {
        for (int c = 0; c < w; ++c) {
            // First row green, blue, ...; second row red, green, ...
            const int site = (c % 2) == (r % 2) ? 1 : (r % 2 == 0 ? 2 : 0);
            const int code = 20 + 10 * r + 2 * c;
            for (int k = 0; k < 3; ++k) {
                const int expected = k == site ? code : 0;
                QVERIFY2(std::abs(channel(rgb, w, c, r, k) - expected) <= 1,
                         qPrintable(QStringLiteral("site %1,%2 channel %3: %4, expected %5")
                                        .arg(c)
                                        .arg(r)
                                        .arg(k)
                                        .arg(channel(rgb, w, c, r, k))
                                        .arg(expected)));
            }
        }
    }
}

void TestPipelineBehaviour::flatColourReachesTheBorder_data()
{
    QTest::addColumn<int>("mode");
    QTest::newRow("gradient") << int(render::Demosaicing::GradientDirected);
    QTest::newRow("malvar-he-cutler") << int(render::Demosaicing::MalvarHeCutler);
    QTest::newRow("edge-directed median") << int(render::Demosaicing::EdgeDirectedMedian);
}

void TestPipelineBehaviour::flatColourReachesTheBorder()
{
    // Reads past the border must find sites of the colour the pattern puts there: one colour
    // everywhere then comes out as that colour on the outer rows and columns as well.
    QFETCH(int, mode);
    const int w = 20, h = 14;
    OffscreenRenderer renderer;
    QVERIFY2(renderer.open(QSize(w, h)), "no OpenGL context or pipeline");
    const testdata::Rgb8 colour{200, 120, 60};
    const Clip clip(w, h, 1, [&](int, int, int) { return colour; });
    RenderState state;
    makePlain(state);
    setDemosaic(state, render::Demosaicing(mode));
    renderer.pipe().applyRenderState(state);
    show(renderer, clip.block, 0);

    const QVector<float> rgb = renderer.pipe().passImage(BaseLegacyPipe::Pass::Demosaiced);
    const int expected[3] = {colour.r, colour.g, colour.b};
    for (int i = 0; i < w * h; ++i) {
        for (int k = 0; k < 3; ++k) {
            QVERIFY2(std::abs(rgb[i * 3 + k] * 255.0f - float(expected[k])) < 0.01f,
                     qPrintable(QStringLiteral("x %1, y %2, channel %3: %4")
                                    .arg(i % w)
                                    .arg(i / w)
                                    .arg(k)
                                    .arg(double(rgb[i * 3 + k]) * 255.0)));
        }
    }
}

void TestPipelineBehaviour::orientationFollowsFlipsAndRotation_data()
{
    QTest::addColumn<int>("flipH");
    QTest::addColumn<int>("flipV");
    QTest::addColumn<int>("rotation");
    QTest::addColumn<bool>("brightLeft");
    QTest::addColumn<bool>("brightTop");
    QTest::newRow("upright") << 0 << 0 << 0 << true << true;
    QTest::newRow("mirrored horizontally") << 1 << 0 << 0 << false << true;
    QTest::newRow("mirrored vertically") << 0 << 1 << 0 << true << false;
    QTest::newRow("rotated half a turn") << 0 << 0 << 180 << false << false;
}

void TestPipelineBehaviour::orientationFollowsFlipsAndRotation()
{
    QFETCH(int, flipH);
    QFETCH(int, flipV);
    QFETCH(int, rotation);
    QFETCH(bool, brightLeft);
    QFETCH(bool, brightTop);

    const int w = 24, h = 16;
    OffscreenRenderer renderer;
    QVERIFY2(renderer.open(QSize(w, h)), "no OpenGL context or pipeline");
    // Bright only in the top-left quarter of the picture (the first memory rows).
    const Clip clip(w, h, 1, [&](int c, int r, int) {
        const int v = (c < w / 2 && r < h / 2) ? 220 : 30;
        return testdata::Rgb8{v, v, v};
    });
    RenderState state;
    setDemosaic(state, render::Demosaicing::Monochrome);
    state.setValue(QStringLiteral("FlipHorizontal"), flipH);
    state.setValue(QStringLiteral("FlipVertical"), flipV);
    state.setValue(QStringLiteral("Rotation"), rotation);
    renderer.pipe().applyRenderState(state);
    const QByteArray rgb = show(renderer, clip.block, 0);
    // Drawn straight into the picture, without the coloured pass kept, it is the same.
    renderer.pipe().setKeepColouredPass(false);
    QCOMPARE(show(renderer, clip.block, 0), rgb);

    // Probe the centre of each quarter, away from filtered borders.
    const int left = w / 4, right = 3 * w / 4, top = h / 4, bottom = 3 * h / 4;
    const int brightX = brightLeft ? left : right, darkX = brightLeft ? right : left;
    const int brightY = brightTop ? top : bottom, darkY = brightTop ? bottom : top;
    const int bright = brightness(rgb, w, brightX, brightY);
    QVERIFY2(bright > brightness(rgb, w, darkX, brightY) + 150, "bright quarter on the wrong side");
    QVERIFY2(bright > brightness(rgb, w, brightX, darkY) + 150, "bright quarter on the wrong row");
}

void TestPipelineBehaviour::outputScaledToATargetOfAnotherSize()
{
    const int w = 24, h = 16;
    OffscreenRenderer renderer;
    QVERIFY2(renderer.open(QSize(2 * w + 2, 2 * h)), "no OpenGL context or pipeline");
    const Clip clip(w, h, 1, [&](int c, int r, int) {
        const int v = (c < w / 2 && r < h / 2) ? 220 : 30;
        return testdata::Rgb8{v, v, v};
    });
    RenderState state;
    setDemosaic(state, render::Demosaicing::Monochrome);
    renderer.pipe().applyRenderState(state);
    const QByteArray rgb = show(renderer, clip.block, 0);
    QCOMPARE(rgb.size(), qsizetype((2 * w + 2) * 2 * h * 3));
    const int ow = 2 * w + 2;
    QVERIFY(brightness(rgb, ow, ow / 4, h / 2) > brightness(rgb, ow, 3 * ow / 4, h / 2) + 150);
    QVERIFY(brightness(rgb, ow, ow / 4, h / 2) > brightness(rgb, ow, ow / 4, 3 * h / 2) + 150);
}

void TestPipelineBehaviour::colourCorrectionOffIgnoresMatrixAndOffsets()
{
    OffscreenRenderer renderer;
    QVERIFY2(renderer.open(QSize(32, 24)), "no OpenGL context or pipeline");
    const Clip clip(32, 24, 1, testdata::busyScene);

    RenderState identity;
    RenderState::Matrix3x3Double unit; // QGenericMatrix starts as the identity
    identity.setValue(QStringLiteral("ColorCorrectionMatrix"), QVariant::fromValue(unit));
    renderer.pipe().applyRenderState(identity);
    const QByteArray expected = show(renderer, clip.block, 0);

    RenderState off;
    RenderState::Matrix3x3Double odd;
    odd.fill(0.7);
    RenderState::Matrix3x1Double offsets;
    offsets.fill(0.25);
    off.setValue(QStringLiteral("ColorCorrectionMatrix"), QVariant::fromValue(odd));
    off.setValue(QStringLiteral("ColorOffsets"), QVariant::fromValue(offsets));
    off.setValue(QStringLiteral("ColorCorrectionState"), 0);
    renderer.pipe().applyRenderState(off);
    QCOMPARE(show(renderer, clip.block, 0), expected);

    // And the matrix does act when correction is on.
    off.setValue(QStringLiteral("ColorCorrectionState"), 1);
    renderer.pipe().applyRenderState(off);
    QVERIFY(show(renderer, clip.block, 0) != expected);
}

void TestPipelineBehaviour::pastTheTurningPointSaturates()
{
    const int w = 16, h = 8;
    OffscreenRenderer renderer;
    QVERIFY2(renderer.open(QSize(w, h)), "no OpenGL context or pipeline");
    // f(p) = 0.21 p + 0.9 p^2 - p^3 rises to a maximum near p = 0.7, then falls.
    const qint16 coefficients[4] = {0, 215, 922, -1024};
    QByteArray calibration(w * h * 8, 0);
    for (int p = 0; p < w * h; ++p)
        for (int k = 0; k < 4; ++k)
            qToLittleEndian<qint16>(coefficients[k], calibration.data() + p * 8 + k * 2);
    // Left half beyond the maximum, right half before it.
    const Clip clip(w, h, 1, [&](int c, int, int) {
        const int v = c < w / 2 ? 230 : 150;
        return testdata::Rgb8{v, v, v};
    });

    BaseLegacyPipe& pipe = renderer.pipe();
    // The calibration is uploaded before the first frame: it must survive the first render.
    pipe.resize(w, h);
    QVERIFY(pipe.uploadPolynomial(calibration, w, h));
    RenderState state;
    makePlain(state);
    state.setCalibrationMode(kvx::CalibrationMode::FullPolynomial);
    pipe.applyRenderState(state);
    show(renderer, clip.block, 0);

    const QVector<float> pre = pipe.passImage(BaseLegacyPipe::Pass::Preprocessed);
    const float c1 = 215 / 1024.0f, c2 = 922 / 1024.0f, c3 = -1.0f;
    const float p = 150 / 255.0f;
    const float rising = c1 * p + c2 * p * p + c3 * p * p * p;
    for (int y = 0; y < h; ++y) {
        QCOMPARE(pre[y * w + 2], 1.0f);
        QVERIFY(std::abs(pre[y * w + w - 3] - rising) < 1e-4f);
    }
}

void TestPipelineBehaviour::firstRenderAfterSeekShowsPreviousWindow()
{
    const int w = 16, h = 8;
    OffscreenRenderer renderer;
    QVERIFY2(renderer.open(QSize(w, h)), "no OpenGL context or pipeline");
    const Clip clip(w, h, 6, [](int, int, int f) {
        const int v = 20 + 40 * f;
        return testdata::Rgb8{v, v, v};
    });
    RenderState state;
    setDemosaic(state, render::Demosaicing::Monochrome);
    renderer.pipe().applyRenderState(state);
    const QByteArray frame1 = show(renderer, clip.block, 1);
    const QByteArray frame4 = show(renderer, clip.block, 4);
    QVERIFY(frame1 != frame4);

    show(renderer, clip.block, 1);
    renderer.renderFrame(clip.block, 4, 1);
    QCOMPARE(renderer.readFrame(), frame1);
    renderer.renderFrame(clip.block, 4, 1);
    QCOMPARE(renderer.readFrame(), frame4);
}

void TestPipelineBehaviour::uncalibratedClipKeepsItsPicture()
{
    // With the default switches (dark subtraction and sensitivity scaling on) but no
    // calibration images loaded, the picture must come through unchanged by them.
    const int w = 16, h = 8;
    OffscreenRenderer renderer;
    QVERIFY2(renderer.open(QSize(w, h)), "no OpenGL context or pipeline");
    const Clip clip(w, h, 1, [](int, int, int) { return testdata::Rgb8{128, 128, 128}; });
    RenderState plain;
    makePlain(plain);
    setDemosaic(plain, render::Demosaicing::Monochrome);
    renderer.pipe().applyRenderState(plain);
    const QByteArray expected = show(renderer, clip.block, 0);
    QVERIFY(channel(expected, w, w / 2, h / 2, 0) > 100);

    plain.setValue(QStringLiteral("DarkSubState"), 1);
    plain.setValue(QStringLiteral("PSCScaleState"), 1);
    renderer.pipe().applyRenderState(plain);
    QCOMPARE(show(renderer, clip.block, 0), expected);
}

void TestPipelineBehaviour::framesWithoutUsableSizeDrawNothing()
{
    OffscreenRenderer renderer;
    QVERIFY2(renderer.open(QSize(4, 2)), "no OpenGL context or pipeline");
    kvx::FrameBlock empty;
    QByteArray rgb = show(renderer, empty, 0);
    // Still the clear colour (1.0, 0.25, 0.25).
    QCOMPARE(channel(rgb, 4, 1, 1, 0), 255);
    QCOMPARE(channel(rgb, 4, 1, 1, 1), 64);
    QCOMPARE(renderer.pipe().width(), 0);

    // Wider than any frame buffer the driver can make.
    const Clip wide(40000, 2, 1, [](int, int, int) { return testdata::Rgb8{0, 0, 0}; });
    rgb = show(renderer, wide.block, 0);
    QCOMPARE(channel(rgb, 4, 1, 1, 0), 255);
    QCOMPARE(channel(rgb, 4, 1, 1, 2), 64);
}

void TestPipelineBehaviour::renderThreadsAreRefused()
{
    BaseLegacyPipe pipe;
    try {
        pipe.startRenderThread();
        QFAIL("no exception");
    } catch (const std::runtime_error& error) {
        QCOMPARE(QString::fromLatin1(error.what()), QStringLiteral("Render threads in Legacy pipeline not supported"));
    }
}

// Frame buffers the driver refused leave the pipeline without a size, so the next frame of
// that size builds them again instead of drawing into the refused ones.
void TestPipelineBehaviour::failedResizeIsNotTakenAsTheNewSize()
{
    const int w = 16, h = 8;
    OffscreenRenderer renderer; // the context and the target
    QVERIFY2(renderer.open(QSize(w, h)), "no OpenGL context or pipeline");
    RefusingPipe pipe;
    QVERIFY(pipe.init());
    RenderState plain;
    makePlain(plain);
    setDemosaic(plain, render::Demosaicing::Monochrome);
    pipe.applyRenderState(plain);

    pipe.refuse = true;
    QVERIFY(!pipe.resize(w, h));
    QCOMPARE(pipe.width(), 0);
    QCOMPARE(pipe.height(), 0);

    pipe.refuse = false;
    const Clip clip(w, h, 1, [](int, int, int) { return testdata::Rgb8{128, 128, 128}; });
    renderer.beginFrames();
    pipe.render(clip.block, 0, 1, QRectF(-1.0, -1.0, 2.0, 2.0));
    pipe.render(clip.block, 0, 1, QRectF(-1.0, -1.0, 2.0, 2.0));
    const QByteArray rgb = renderer.readFrame();
    QCOMPARE(pipe.width(), w);
    QVERIFY2(channel(rgb, w, w / 2, h / 2, 0) > 100, "the frame was not drawn");
    pipe.release();
}

// A second init (a context handed over again) must not leave the first set of textures and
// unpack buffers behind.
void TestPipelineBehaviour::initialisingAgainKeepsOneSetOfTextures()
{
    OffscreenRenderer renderer;
    QVERIFY2(renderer.open(QSize(16, 8)), "no OpenGL context or pipeline");
    const Clip clip(16, 8, 2, [](int, int, int) { return testdata::Rgb8{90, 90, 90}; });
    show(renderer, clip.block, 0); // every texture and buffer in use
    const auto before = liveTexturesAndBuffers();
    QVERIFY(before.first > 0 && before.second > 0);

    QVERIFY(renderer.pipe().init());
    show(renderer, clip.block, 0);
    QCOMPARE(liveTexturesAndBuffers(), before);
}

QTEST_MAIN(TestPipelineBehaviour)
#include "tst_pipeline_behaviour.moc"
