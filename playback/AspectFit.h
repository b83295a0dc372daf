#pragma once

#include <QRect>
#include <QSize>

namespace playback {

// Where the picture of a clip of clipSize goes in a view area of areaSize: as large as it fits
// with the clip's proportions, centred. A clip without a size fills the area.
QRect aspectFit(const QSize& areaSize, const QSize& clipSize);

} // namespace playback
