#pragma once

#include <QByteArray>
#include <QByteArrayList>

#include <functional>
#include <map>
#include <memory>

class QOpenGLShaderProgram;

namespace kvx {

// One vertex and fragment shader pair built in variants: the same sources with different
// "#define" lines, so that a pass runs only the code its settings need. Software OpenGL runs
// every branch of a shader whatever its uniforms say, so a branch on a uniform costs as much
// as the code it skips.
class ProgramVariants {
public:
    // setUp runs once on each newly linked variant (sampler units).
    ProgramVariants(const char* name, std::function<void(QOpenGLShaderProgram&)> setUp);
    ~ProgramVariants();
    ProgramVariants(const ProgramVariants&) = delete;
    ProgramVariants& operator=(const ProgramVariants&) = delete;

    // The variant for these defines, built on first use in the current context. Null when it
    // does not build; the failure is reported the first time only.
    QOpenGLShaderProgram* variant(const QByteArrayList& defines, bool showFailure);
    void clear();

private:
    QByteArray name_;
    std::function<void(QOpenGLShaderProgram&)> setUp_;
    std::map<QByteArray, std::unique_ptr<QOpenGLShaderProgram>> built_;
};

// The source text with the defines placed right after its "#version" line.
QByteArray withDefines(const QByteArray& source, const QByteArrayList& defines);

} // namespace kvx
