#include "playback/AspectFit.h"

namespace playback {

QRect aspectFit(const QSize& areaSize, const QSize& clipSize)
{
    const qint64 W = areaSize.width();
    const qint64 H = areaSize.height();
    const qint64 cw = clipSize.width();
    const qint64 ch = clipSize.height();
    if (cw <= 0 || ch <= 0)
        return QRect(QPoint(0, 0), areaSize);

    // Fit the side that limits first; the integer divisions keep the picture inside the area.
    qint64 w = 0;
    qint64 h = 0;
    if (H >= W) {
        if (cw < ch) {
            w = H * cw / ch;
            h = H;
            if (w > W) {
                w = W;
                h = W * ch / cw;
            }
        } else {
            w = W;
            h = W * ch / cw;
        }
    } else {
        if (cw > ch) {
            w = W;
            h = W * ch / cw;
            if (h > H) {
                h = H;
                w = H * cw / ch;
            }
        } else {
            h = H;
            w = H * cw / ch;
        }
    }
    return QRect(int((W - w) / 2), int((H - h) / 2), int(w), int(h));
}

} // namespace playback
