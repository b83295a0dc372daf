#pragma once

#include <QSharedPointer>

class QWidget;
class SavedClip;

// The playback window's export in the clips manager: the export dialog filled from the
// application's export settings, the chosen settings stored back, and the encoder runner
// started with this program as the renderer and the installed FFmpeg.
void exportClip(const QSharedPointer<SavedClip>& clip, QWidget* parent);
