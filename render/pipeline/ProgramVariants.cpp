#include "render/pipeline/ProgramVariants.h"

#include "render/pipeline/ShaderFailureReport.h"

#include <QFile>
#include <QOpenGLShaderProgram>

namespace kvx {

namespace {

QByteArray shaderSource(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

} // namespace

QByteArray withDefines(const QByteArray& source, const QByteArrayList& defines)
{
    QByteArray lines;
    for (const QByteArray& define : defines)
        lines += "#define " + define + " 1\n";
    // "#version" must stay the first line; definitions may come before "#extension" lines.
    const qsizetype firstLineEnd = source.startsWith("#version") ? source.indexOf('\n') + 1 : 0;
    return source.left(firstLineEnd) + lines + source.mid(firstLineEnd);
}

ProgramVariants::ProgramVariants(const char* name, std::function<void(QOpenGLShaderProgram&)> setUp)
    : name_(name), setUp_(std::move(setUp))
{}

ProgramVariants::~ProgramVariants() = default;

QOpenGLShaderProgram* ProgramVariants::variant(const QByteArrayList& defines, bool showFailure)
{
    const QByteArray key = defines.join(' ');
    if (const auto known = built_.find(key); known != built_.end())
        return known->second.get();

    const QString base = QStringLiteral(":/shaders/legacy/") + QLatin1String(name_);
    auto program = std::make_unique<QOpenGLShaderProgram>();
    const bool built = program->addShaderFromSourceCode(QOpenGLShader::Vertex, shaderSource(base + ".vsh"))
        && program->addShaderFromSourceCode(QOpenGLShader::Fragment, withDefines(shaderSource(base + ".fsh"), defines))
        && program->link();
    if (!built) {
        const QString what = defines.isEmpty() ? QString::fromLatin1(name_) : QString::fromLatin1(name_ + " " + key);
        reportShaderFailure(what, program->log(), showFailure);
        program.reset(); // remembered as failed, so it is neither built nor reported again
    } else {
        program->bind();
        setUp_(*program);
        program->release();
    }
    return built_.emplace(key, std::move(program)).first->second.get();
}

void ProgramVariants::clear()
{
    built_.clear();
}

} // namespace kvx
