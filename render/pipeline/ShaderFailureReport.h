#pragma once

#include <QString>

namespace kvx {

// Tells the user that a pipeline program failed to build. The warning box appears only for
// on-screen use; off-screen jobs (thumbnails, the command-line renderer) log it instead.
void reportShaderFailure(const QString& programName, const QString& log, bool showBox);

} // namespace kvx
