#include "render/pipeline/BaseLegacyPipe.h"

#include "render/pipeline/CalibrationPlanes.h"
#include "render/pipeline/ShaderFailureReport.h"

#include <QOpenGLContext>
#include <QOpenGLFramebufferObject>
#include <QOpenGLFunctions>
#include <QOpenGLShaderProgram>

#include <cmath>
#include <stdexcept>
#include <tuple>
#include <vector>

// Resources of a static library must be registered by hand; the call has to stand outside
// any namespace.
static void registerShaderResources()
{
    Q_INIT_RESOURCE(legacy_shaders);
}

namespace kvx {

namespace {

constexpr int kFrameLayers = 7;
constexpr int kLinearizationEntries = 1024;
// Where the gamma curve of the colour pass gives way to its linear toe.
constexpr float kGammaToeBase = 0.078125f;

// Sampler units of the filter program.
enum FilterUnit {
    FrameUnit = 0,
    DarkUnit = 1,
    PscUnit = 2,
    PolyUnit = 3,
    LinearizeUnit = 7,
};

// A quad over rect (normalised device coordinates) with texture coordinates (0,0)-(1,1),
// or with both texture axes reversed.
void drawQuad(QOpenGLFunctions_1_5* gl, const QRectF& rect, bool reversed)
{
    const float x0 = float(rect.left());
    const float x1 = float(rect.right());
    const float y0 = float(rect.top());
    const float y1 = float(rect.bottom());
    const float s0 = reversed ? 1.0f : 0.0f;
    const float s1 = 1.0f - s0;
    gl->glBegin(GL_QUADS);
    gl->glTexCoord2f(s0, s0);
    gl->glVertex2f(x0, y0);
    gl->glTexCoord2f(s1, s0);
    gl->glVertex2f(x1, y0);
    gl->glTexCoord2f(s1, s1);
    gl->glVertex2f(x1, y1);
    gl->glTexCoord2f(s0, s1);
    gl->glVertex2f(x0, y1);
    gl->glEnd();
}

const QRectF kFullQuad(-1.0, -1.0, 2.0, 2.0);

QVector3D vec3(const Vec3f& v)
{
    return QVector3D(v[0], v[1], v[2]);
}

} // namespace

BaseLegacyPipe::BaseLegacyPipe()
    : filterVariants_("filter",
                      [](QOpenGLShaderProgram& program) {
                          program.setUniformValue("tex", FrameUnit);
                          program.setUniformValue("dark", DarkUnit);
                          program.setUniformValue("psc", PscUnit);
                          program.setUniformValue("poly", PolyUnit);
                          program.setUniformValue("linearizeLUT", LinearizeUnit);
                      }),
      prelimVariants_("prelim", [](QOpenGLShaderProgram& program) { program.setUniformValue("filtered", 0); }),
      debayerVariants_("debayer", [](QOpenGLShaderProgram& program) { program.setUniformValue("source", 0); }),
      dnrVariants_("dnr", [](QOpenGLShaderProgram& program) { program.setUniformValue("tex", 0); })
{}

BaseLegacyPipe::~BaseLegacyPipe()
{
    // GPU objects can only be freed in their own context; otherwise they go with it.
    if (context_ && QOpenGLContext::currentContext() == context_)
        release();
}

bool BaseLegacyPipe::init()
{
    // What an earlier init made is freed first (objects of another context go with it), so a
    // second init leaves no textures or unpack buffers behind.
    if (context_ && QOpenGLContext::currentContext() == context_)
        release();
    context_ = QOpenGLContext::currentContext();
    if (!context_ || !initializeOpenGLFunctions())
        return false;
    if (!QOpenGLFramebufferObject::hasOpenGLFramebufferObjects())
        return false;
    if (!buildPrograms())
        return false;
    createTextures();
    return true;
}

bool BaseLegacyPipe::buildPrograms()
{
    registerShaderResources();
    struct ProgramSource {
        std::unique_ptr<QOpenGLShaderProgram>* program;
        const char* name;
    };
    const ProgramSource sources[] = {{&basicColorProgram_, "basiccolordraw"}, {&blitProgram_, "basic_blit"}};
    for (const ProgramSource& source : sources) {
        auto program = std::make_unique<QOpenGLShaderProgram>();
        const QString base = QStringLiteral(":/shaders/legacy/") + QLatin1String(source.name);
        const bool built = program->addShaderFromSourceFile(QOpenGLShader::Vertex, base + QStringLiteral(".vsh"))
            && program->addShaderFromSourceFile(QOpenGLShader::Fragment, base + QStringLiteral(".fsh"))
            && program->link();
        if (!built) {
            reportShaderFailure(QLatin1String(source.name), program->log(), !readBack_);
            return false;
        }
        *source.program = std::move(program);
    }

    blitProgram_->bind();
    blitProgram_->setUniformValue("tex", 0);
    blitProgram_->release();
    return selectPrograms();
}

bool BaseLegacyPipe::selectPrograms()
{
    programsSelected_ = true;
    const bool showFailure = !readBack_;
    const PrelimParams& pre = params_.prelim;
    temporalFilterProgram_ = filterVariants_.variant(filterVariant(pre, true), showFailure);
    frameFilterProgram_ = filterVariants_.variant(filterVariant(pre, false), showFailure);
    prelimProgram_ = prelimVariants_.variant(prelimVariant(pre), showFailure);
    const QByteArrayList demosaic = debayerVariant(params_.debayer);
    debayerProgram_ = debayerVariants_.variant(demosaic, showFailure);
    estimateProgram_ =
        demosaic.contains("DEMOSAIC_GRADIENT") ? debayerVariants_.variant({"GREEN_ESTIMATES"}, showFailure) : nullptr;
    dnrProgram_ = dnrVariants_.variant(colourVariant(params_.colour), showFailure);
    programsReady_ = temporalFilterProgram_ && frameFilterProgram_ && prelimProgram_ && debayerProgram_ && dnrProgram_
        && (estimateProgram_ || !demosaic.contains("DEMOSAIC_GRADIENT"));
    if (programsReady_)
        setUniforms();
    return programsReady_;
}

void BaseLegacyPipe::createTextures()
{
    QOpenGLFunctions_1_5* gl = this;
    dark_ = std::make_unique<GLTexture2D>(gl, GL_TEXTURE_2D);
    psc_ = std::make_unique<GLTexture2D>(gl, GL_TEXTURE_2D);
    poly_ = std::make_unique<GLTexture2D>(gl, GL_TEXTURE_2D);
    frames_ = std::make_unique<GLDoubleBuffer>(gl);
    linearizeLUT_ = std::make_unique<GLTexture1D>(gl);

    // Neighbourhood reads beyond the frame repeat its border rather than wrap to the
    // opposite side.
    for (GLTexture2D* texture : frameSizedTextures()) {
        texture->create();
        texture->setSampling(GL_NEAREST, GL_CLAMP_TO_EDGE);
    }
    linearizeLUT_->create();
    linearizeLUT_->setSampling(GL_LINEAR, GL_CLAMP_TO_EDGE);
    linearizeLUT_->allocate(kLinearizationEntries);
    linearizeLUT_->fill(0.0f);
    size_ = QSize(0, 0);
}

bool BaseLegacyPipe::resize(int width, int height)
{
    const QSize size(width, height);
    if (!frames_)
        return false;
    if (size == size_)
        return true;
    GLint maxSize = 0;
    glGetIntegerv(GL_MAX_TEXTURE_SIZE, &maxSize);
    if (width <= 0 || height <= 0 || width > maxSize || height > maxSize)
        return false;
    frames_->allocate(width, height, kFrameLayers);

    // New calibration storage gets neutral content: no dark level, unit sensitivity and a
    // zero polynomial, so frames are never scaled by whatever memory the driver hands out.
    // The polynomial's four coefficients share one texel: one read per pixel instead of four.
    const std::tuple<GLTexture2D*, GLenum, float> calibration[] = {
        {dark_.get(), GL_R32F, 0.0f},
        {psc_.get(), GL_R32F, 1.0f},
        {poly_.get(), GL_RGBA32F, 0.0f},
    };
    for (const auto& [texture, format, neutral] : calibration) {
        if (texture->size() != size) {
            texture->allocate(format, width, height);
            texture->fill(neutral);
        }
    }

    // Making a frame buffer object leaves another one bound; the caller's target comes back.
    GLint boundFramebuffer = 0;
    glGetIntegerv(GL_FRAMEBUFFER_BINDING, &boundFramebuffer);
    filtered_ = makePassTarget(size, GL_R32F);
    preprocessed_ = makePassTarget(size, GL_R32F);
    // Four channels where three would do: software OpenGL reads them as fast as one, and
    // three-channel texels markedly slower.
    demosaiced_ = makePassTarget(size, GL_RGBA32F);
    coloured_ = makePassTarget(size, GL_RGBA32F);
    estimates_.reset(); // made when a method needs it
    context_->functions()->glBindFramebuffer(GL_FRAMEBUFFER, GLuint(boundFramebuffer));
    if (!filtered_->isValid() || !preprocessed_->isValid() || !demosaiced_->isValid() || !coloured_->isValid()) {
        // Not taken as the size: the next frame of this size tries again instead of drawing
        // into frame buffers the driver refused.
        filtered_.reset();
        preprocessed_.reset();
        demosaiced_.reset();
        coloured_.reset();
        size_ = QSize(0, 0);
        return false;
    }
    size_ = size;
    return true;
}

std::unique_ptr<QOpenGLFramebufferObject> BaseLegacyPipe::makePassTarget(const QSize& size, GLenum internalFormat)
{
    auto fbo = std::make_unique<QOpenGLFramebufferObject>(size, QOpenGLFramebufferObject::NoAttachment, GL_TEXTURE_2D,
                                                          internalFormat);
    glBindTexture(GL_TEXTURE_2D, fbo->texture());
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, GL_CLAMP_TO_EDGE);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, GL_CLAMP_TO_EDGE);
    glBindTexture(GL_TEXTURE_2D, 0);
    return fbo;
}

bool BaseLegacyPipe::uploadPolynomial(const QByteArray& data, int width, int height)
{
    std::vector<float> texels;
    if (!poly_ || !calibrationTexels(data, width, height, texels))
        return false;
    if (poly_->size() != QSize(width, height))
        poly_->allocate(GL_RGBA32F, width, height);
    poly_->upload(texels.data());
    glBindTexture(GL_TEXTURE_2D, 0);
    return true;
}

void BaseLegacyPipe::startRenderThread()
{
    throw std::runtime_error("Render threads in Legacy pipeline not supported");
}

void BaseLegacyPipe::applyRenderState(const RenderState& state)
{
    params_ = pipeParamsFromState(state, linearizationLoaded_, params_.prelim.calibMode);
    programsSelected_ = false;
    // Chosen now when the context allows, so that a program that does not build is reported
    // as the settings change; otherwise with the next frame.
    if (context_ && QOpenGLContext::currentContext() == context_)
        selectPrograms();
}

void BaseLegacyPipe::setUniforms()
{
    const PrelimParams& pre = params_.prelim;
    for (QOpenGLShaderProgram* filter : {temporalFilterProgram_, frameFilterProgram_}) {
        filter->bind();
        filter->setUniformValue("ghostRemoval", pre.ghostRemoval);
        filter->setUniformValue("dark_scale", pre.darkScale);
        filter->setUniformValue("psc_scale", pre.pscScale);
        filter->setUniformValue("tnk_thresh", pre.tnkThresh);
        filter->setUniformValue("degamma", pre.degamma);
    }
    prelimProgram_->bind();
    prelimProgram_->setUniformValue("greenBalanceValue", pre.greenBalance);

    const DebayerParams& deb = params_.debayer;
    debayerProgram_->bind();
    debayerProgram_->setUniformValue("edge_detect_en", deb.edgeDetect);
    debayerProgram_->setUniformValue("grad_interpolate", deb.gradInterpolate);
    debayerProgram_->setUniformValue("edge_thresh", deb.edgeThresh);

    const ColourParams& col = params_.colour;
    dnrProgram_->bind();
    dnrProgram_->setUniformValue("dnr_thresh", col.dnrThresh);
    dnrProgram_->setUniformValue("dnr_y_thresh", col.dnrYThresh);
    dnrProgram_->setUniformValue("sharpen", col.sharpen);
    dnrProgram_->setUniformValue("sharpen_thresh", col.sharpenThresh);
    dnrProgram_->setUniformValue("red_vec", vec3(col.matrix[0]));
    dnrProgram_->setUniformValue("green_vec", vec3(col.matrix[1]));
    dnrProgram_->setUniformValue("blue_vec", vec3(col.matrix[2]));
    dnrProgram_->setUniformValue("offset_vec", vec3(col.offsets));
    dnrProgram_->setUniformValue("gains", vec3(col.gains));
    dnrProgram_->setUniformValue("gamma", vec3(col.gamma));
    // Worked out once here rather than for every pixel: software OpenGL would run them per pixel.
    Vec3f inverse{};
    Vec3f toeSlope{};
    for (int c = 0; c < 3; ++c) {
        inverse[size_t(c)] = 1.0f / col.gamma[size_t(c)];
        toeSlope[size_t(c)] = std::pow(kGammaToeBase, inverse[size_t(c)]) / kGammaToeBase;
    }
    dnrProgram_->setUniformValue("gamma_inverse", vec3(inverse));
    dnrProgram_->setUniformValue("gamma_toe_slope", vec3(toeSlope));
    dnrProgram_->setUniformValue("color_boost", col.colorBoost);
    dnrProgram_->setUniformValue("brightness", col.brightness);
    dnrProgram_->release();
}

void BaseLegacyPipe::render(const FrameBlock& frames, qint64 frameIndex, int span, const QRectF& viewportRect)
{
    if (frames.width <= 0 || frames.height <= 0 || !frames_)
        return;
    // Nothing is drawn without every program of the current settings.
    if (!programsSelected_)
        selectPrograms();
    if (!programsReady_)
        return;
    GLint savedFramebuffer = 0;
    glGetIntegerv(GL_FRAMEBUFFER_BINDING, &savedFramebuffer);
    std::array<GLint, 4> savedViewport{};
    glGetIntegerv(GL_VIEWPORT, savedViewport.data());

    // A frame larger than the driver's textures or frame buffers can hold is not drawn.
    if (!resize(frames.width, frames.height))
        return;
    frames_->stageAndUpload(frames, frameIndex, span);

    glMatrixMode(GL_PROJECTION);
    glPushMatrix();
    glMatrixMode(GL_MODELVIEW);
    glPushMatrix();
    glLoadIdentity();
    for (GLenum capability : {GL_CULL_FACE, GL_LIGHTING, GL_COLOR_MATERIAL, GL_NORMALIZE, GL_DEPTH_TEST, GL_BLEND})
        glDisable(capability);
    glViewport(0, 0, size_.width(), size_.height());

    runFilterPass();
    runPrelimPass();
    runDebayerPass();
    if (drawsColourDirectly(savedViewport, viewportRect)) {
        // One frame-sized float buffer fewer to write and read again: the colour pass's
        // results land where the final quad would copy them to, pixel for pixel.
        bindColourSource();
        bindOutput(GLuint(savedFramebuffer), savedViewport);
        drawQuad(this, kFullQuad, false);
        dnrProgram_->release();
    } else {
        runColourPass();
        bindOutput(GLuint(savedFramebuffer), savedViewport);
        drawOutput(viewportRect);
    }
    glBindTexture(GL_TEXTURE_2D, 0);

    glMatrixMode(GL_PROJECTION);
    glPopMatrix();
    glMatrixMode(GL_MODELVIEW);
    glPopMatrix();
}

void BaseLegacyPipe::runFilterPass()
{
    QOpenGLShaderProgram* program = frames_->heldFrames() > 1 ? temporalFilterProgram_ : frameFilterProgram_;
    program->bind();
    // The plane is laid out like the frames: its row r holds memory row r.
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    filtered_->bind();
    frames_->bind(FrameUnit);
    dark_->bind(DarkUnit);
    psc_->bind(PscUnit);
    poly_->bind(PolyUnit);
    linearizeLUT_->bind(LinearizeUnit);
    drawQuad(this, kFullQuad, false);
    linearizeLUT_->release(LinearizeUnit);
    poly_->release(PolyUnit);
    psc_->release(PscUnit);
    dark_->release(DarkUnit);
    frames_->release(FrameUnit);
}

void BaseLegacyPipe::runPrelimPass()
{
    prelimProgram_->bind();
    prelimProgram_->setUniformValue("sourceSize", float(size_.width()), float(size_.height()),
                                    1.0f / float(size_.width()), 1.0f / float(size_.height()));
    // Memory row 0 is a green-blue row: red sites have an even column and an odd row.
    prelimProgram_->setUniformValue("firstRed", 0.0f, 1.0f);

    // A mirrored projection with both texture axes reversed turns the picture upside down:
    // the first memory row ends at the top of the frame buffer.
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    glScalef(-1.0f, 1.0f, 1.0f);

    preprocessed_->bind();
    glActiveTexture(GL_TEXTURE0);
    glBindTexture(GL_TEXTURE_2D, filtered_->texture());
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_NEAREST);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_NEAREST);
    drawQuad(this, kFullQuad, true);
}

void BaseLegacyPipe::drawDemosaicStep(QOpenGLShaderProgram* program, GLuint source, QOpenGLFramebufferObject* target)
{
    program->bind();
    program->setUniformValue("sourceSize", float(size_.width()), float(size_.height()), 1.0f / float(size_.width()),
                             1.0f / float(size_.height()));
    // Counted from the last memory row, which is a red-green row for an even height.
    program->setUniformValue("firstRed", 0.0f, 0.0f);
    target->bind();
    glActiveTexture(GL_TEXTURE0);
    glBindTexture(GL_TEXTURE_2D, source);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_NEAREST);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_NEAREST);
    drawQuad(this, kFullQuad, false);
}

void BaseLegacyPipe::runDebayerPass()
{
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    GLuint source = preprocessed_->texture();
    if (estimateProgram_) {
        if (!estimates_)
            estimates_ = makePassTarget(size_, GL_RGBA32F);
        drawDemosaicStep(estimateProgram_, source, estimates_.get());
        source = estimates_->texture();
    }
    drawDemosaicStep(debayerProgram_, source, demosaiced_.get());
}

void BaseLegacyPipe::bindColourSource()
{
    dnrProgram_->bind();
    dnrProgram_->setUniformValue("sourceSize", float(size_.width()), float(size_.height()), 1.0f / float(size_.width()),
                                 1.0f / float(size_.height()));
    glActiveTexture(GL_TEXTURE0);
    glBindTexture(GL_TEXTURE_2D, demosaiced_->texture());
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_NEAREST);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_NEAREST);
}

void BaseLegacyPipe::runColourPass()
{
    const GLint finalFilter = params_.output.smoothing ? GL_LINEAR : GL_NEAREST;
    glBindTexture(GL_TEXTURE_2D, coloured_->texture());
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, finalFilter);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, finalFilter);
    coloured_->bind();
    bindColourSource();
    drawQuad(this, kFullQuad, false);
}

bool BaseLegacyPipe::drawsColourDirectly(const std::array<GLint, 4>& viewport, const QRectF& viewportRect) const
{
    // Turned by a multiple of 360 degrees the quad's corners stay where they are.
    return !keepColouredPass_ && viewport[2] == size_.width() && viewport[3] == size_.height()
        && viewportRect == kFullQuad && params_.output.rotation % 360 == 0;
}

void BaseLegacyPipe::bindOutput(GLuint targetFramebuffer, const std::array<GLint, 4>& viewport)
{
    const OutputParams& out = params_.output;
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    if (out.flipHorizontal)
        glScalef(-1.0f, 1.0f, 1.0f);
    // Read-back users get rows bottom-up, so for them the picture is mirrored once more.
    if (out.flipVertical != readBack_)
        glScalef(1.0f, -1.0f, 1.0f);
    glRotatef(float(out.rotation), 0.0f, 0.0f, 1.0f);

    context_->functions()->glBindFramebuffer(GL_FRAMEBUFFER, targetFramebuffer);
    glViewport(viewport[0], viewport[1], viewport[2], viewport[3]);
}

void BaseLegacyPipe::drawOutput(const QRectF& viewportRect)
{
    glActiveTexture(GL_TEXTURE0);
    glBindTexture(GL_TEXTURE_2D, coloured_->texture());
    blitProgram_->bind();
    drawQuad(this, viewportRect, false);
    blitProgram_->release();
}

QVector<float> BaseLegacyPipe::passImage(Pass pass)
{
    QOpenGLFramebufferObject* fbo = pass == Pass::Preprocessed ? preprocessed_.get()
        : pass == Pass::Demosaiced                             ? demosaiced_.get()
                                                               : coloured_.get();
    if (!fbo)
        return {};
    const int channels = pass == Pass::Preprocessed ? 1 : 3;
    QVector<float> values(qsizetype(size_.width()) * size_.height() * channels);
    glBindTexture(GL_TEXTURE_2D, fbo->texture());
    glPixelStorei(GL_PACK_ALIGNMENT, 4);
    glGetTexImage(GL_TEXTURE_2D, 0, channels == 1 ? GL_RED : GL_RGB, GL_FLOAT, values.data());
    glBindTexture(GL_TEXTURE_2D, 0);
    return values;
}

std::vector<GLTexture2D*> BaseLegacyPipe::frameSizedTextures() const
{
    return {frames_.get(), dark_.get(), psc_.get(), poly_.get()};
}

void BaseLegacyPipe::destroyTextures()
{
    if (!frames_)
        return;
    for (GLTexture2D* texture : frameSizedTextures())
        texture->destroy();
    linearizeLUT_->destroy();
    frames_.reset();
    dark_.reset();
    psc_.reset();
    poly_.reset();
    linearizeLUT_.reset();
}

void BaseLegacyPipe::release()
{
    destroyTextures();
    filtered_.reset();
    preprocessed_.reset();
    estimates_.reset();
    demosaiced_.reset();
    coloured_.reset();
    basicColorProgram_.reset();
    blitProgram_.reset();
    temporalFilterProgram_ = frameFilterProgram_ = prelimProgram_ = estimateProgram_ = debayerProgram_ = dnrProgram_ =
        nullptr;
    programsSelected_ = programsReady_ = false;
    for (ProgramVariants* variants : {&filterVariants_, &prelimVariants_, &debayerVariants_, &dnrVariants_})
        variants->clear();
    size_ = QSize(0, 0);
    context_ = nullptr;
}

} // namespace kvx
