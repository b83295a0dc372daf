#include "playback/AspectFit.h"

namespace playback {

namespace {

// A clip of cw x ch in an area of W x H that is at least as high as wide: a clip higher than
// wide fills the height if it fits; otherwise the clip fills the width. Integer divisions keep
// the picture inside the area.
QSize fitUpright(qint64 W, qint64 H, qint64 cw, qint64 ch)
{
    if (cw < ch && H * cw / ch <= W)
        return QSize(int(H * cw / ch), int(H));
    return QSize(int(W), int(W * ch / cw));
}

} // namespace

QRect aspectFit(const QSize& areaSize, const QSize& clipSize)
{
    const qint64 W = areaSize.width();
    const qint64 H = areaSize.height();
    const qint64 cw = clipSize.width();
    const qint64 ch = clipSize.height();
    if (cw <= 0 || ch <= 0)
        return QRect(QPoint(0, 0), areaSize);
    // A wide area is the upright case turned on its side.
    const QSize picture = H >= W ? fitUpright(W, H, cw, ch) : fitUpright(H, W, ch, cw).transposed();
    return QRect(QPoint(int((W - picture.width()) / 2), int((H - picture.height()) / 2)), picture);
}

} // namespace playback
