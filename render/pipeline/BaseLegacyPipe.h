#pragma once

#include "render/pipeline/GLTexture.h"
#include "render/pipeline/PipeParams.h"
#include "render/pipeline/ProgramVariants.h"
#include "render/pipeline/RenderPipeAPI.h"

#include <QByteArray>
#include <QOpenGLFunctions_1_5>
#include <QVector>

#include <array>
#include <memory>
#include <vector>

class QOpenGLContext;
class QOpenGLFramebufferObject;
class QOpenGLShaderProgram;

namespace kvx {

// The OpenGL 1.5 processing pipeline in off-screen float passes: per-site filtering and
// calibration (computed once per site, read by the neighbourhood steps after it), green balance
// and hot-pixel clamp, demosaicing, then noise reduction and colour; and a final textured quad
// into the frame buffer the caller has bound. Each pass runs the program variant built for the
// current settings.
class BaseLegacyPipe : public RenderPipeline, protected QOpenGLFunctions_1_5 {
public:
    // The intermediate results, for inspection.
    enum class Pass { Preprocessed, Demosaiced, Coloured };

    BaseLegacyPipe();
    ~BaseLegacyPipe() override;

    bool init() override;
    void release() override;
    void render(const FrameBlock& frames, qint64 frameIndex, int span, const QRectF& viewportRect) override;
    int height() const override { return size_.height(); }
    int width() const override { return size_.width(); }
    [[noreturn]] void startRenderThread() override;
    void applyRenderState(const RenderState& state) override;

    // Sizes every texture and frame buffer for frames of width x height. Textures that
    // already have that size keep their content (an uploaded calibration survives). False
    // when the driver cannot hold frames of that size; nothing is drawn for them, and the
    // pipeline is left without a size.
    bool resize(int width, int height);

    // Per-pixel polynomial coefficients: width x height pixels of four signed 16-bit
    // little-endian values c0..c3 with 10 fraction bits. False when the data do not match.
    bool uploadPolynomial(const QByteArray& data, int width, int height);

    const PipeParams& params() const { return params_; }

    // Float contents of an intermediate pass, rows from the bottom of its frame buffer;
    // one value per pixel for the pre-processed pass, three for the others.
    QVector<float> passImage(Pass pass);
    // Off: a picture that lands pixel for pixel in the caller's frame buffer (same size, whole
    // viewport, not turned) gets the colour pass drawn straight into it, and the coloured
    // pass is not kept for passImage(). On by default.
    void setKeepColouredPass(bool keep) { keepColouredPass_ = keep; }

protected:
    // The frame buffer of one off-screen pass, with a texture of that format clamped at its
    // edges. Virtual so a test can stand in a driver that refuses it.
    virtual std::unique_ptr<QOpenGLFramebufferObject> makePassTarget(const QSize& size, GLenum internalFormat);

private:
    bool buildPrograms();
    // Picks (building on first use) the variant of every pass for the current parameters and
    // sets their uniforms; false when one of them does not build.
    bool selectPrograms();
    void createTextures();
    void setUniforms();
    void runFilterPass();
    void runPrelimPass();
    void runDebayerPass();
    void drawDemosaicStep(QOpenGLShaderProgram* program, GLuint source, QOpenGLFramebufferObject* target);
    void runColourPass();
    // Whether the colour pass can draw straight into a viewport of this size and place.
    bool drawsColourDirectly(const std::array<GLint, 4>& viewport, const QRectF& viewportRect) const;
    void bindColourSource();
    void bindOutput(GLuint targetFramebuffer, const std::array<GLint, 4>& viewport);
    void drawOutput(const QRectF& viewportRect);
    // The frame array and the calibration images: everything sized like a frame.
    std::vector<GLTexture2D*> frameSizedTextures() const;
    void destroyTextures();

    QOpenGLContext* context_ = nullptr;
    QSize size_{0, 0};
    PipeParams params_;
    bool linearizationLoaded_ = false;
    bool keepColouredPass_ = true;

    std::unique_ptr<QOpenGLShaderProgram> basicColorProgram_;
    std::unique_ptr<QOpenGLShaderProgram> blitProgram_;
    ProgramVariants filterVariants_;
    ProgramVariants prelimVariants_;
    ProgramVariants debayerVariants_;
    ProgramVariants dnrVariants_;
    // The variants in use, owned by the sets above; the filter has one for a window of frames
    // and one for a single frame.
    QOpenGLShaderProgram* temporalFilterProgram_ = nullptr;
    QOpenGLShaderProgram* frameFilterProgram_ = nullptr;
    QOpenGLShaderProgram* prelimProgram_ = nullptr;
    QOpenGLShaderProgram* estimateProgram_ = nullptr; // the green estimates of the gradient method
    QOpenGLShaderProgram* debayerProgram_ = nullptr;
    QOpenGLShaderProgram* dnrProgram_ = nullptr;
    bool programsSelected_ = false; // for the current parameters
    bool programsReady_ = false;    // every program selected has been built

    std::unique_ptr<GLDoubleBuffer> frames_;
    std::unique_ptr<GLTexture2D> dark_;
    std::unique_ptr<GLTexture2D> psc_;
    std::unique_ptr<GLTexture2D> poly_; // c0..c3 in the four channels
    std::unique_ptr<GLTexture1D> linearizeLUT_;

    std::unique_ptr<QOpenGLFramebufferObject> filtered_;
    std::unique_ptr<QOpenGLFramebufferObject> preprocessed_;
    std::unique_ptr<QOpenGLFramebufferObject> estimates_;
    std::unique_ptr<QOpenGLFramebufferObject> demosaiced_;
    std::unique_ptr<QOpenGLFramebufferObject> coloured_;
};

} // namespace kvx
