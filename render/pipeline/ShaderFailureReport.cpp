#include "render/pipeline/ShaderFailureReport.h"

#include <QApplication>
#include <QDebug>
#include <QMessageBox>

namespace kvx {

void reportShaderFailure(const QString& programName, const QString& log, bool showBox)
{
    const QString text = QStringLiteral("Could not compile shader ") + programName + QStringLiteral(": \n") + log;
    qWarning().noquote() << text;
    if (showBox && qobject_cast<QApplication*>(QCoreApplication::instance()))
        QMessageBox::warning(nullptr, QStringLiteral("Shader failed to compile"), text);
}

} // namespace kvx
