#pragma once

#include "control/config/ConfigParameters.h"

#include <QList>

#include <array>

struct OutputStatePacket;

// The paint page's values as slider positions, by sub-page (gain, pedestal, flare, detail,
// misc), and the paint values each change sends. The recorder holds some values in 1/1024 units
// that the sliders show in tenths, twentieths or percent; both directions divide as integers.
class PaintSettings {
public:
    enum SubPage { Gain = 0, Pedestal = 1, Flare = 2, Detail = 3, Misc = 4 };
    static constexpr int SubPageCount = 5;
    static constexpr int MaxSliders = 5;

    struct Slider {
        int group = 0;
        int channel = 0;
        int minimum = 0;
        int maximum = 0;
        int divisor = 0;         // position = value x divisor / 1024; 0: position = value
        bool onRelease = false;  // sent when let go, not while moving
        int defaultPosition = 0; // what "Default" sets; -1: left alone
    };

    // The sliders of a sub-page: three, or five on the misc page.
    static QList<Slider> sliders(int subPage);
    static int toPosition(const Slider& slider, int value);
    static int toValue(const Slider& slider, int position);
    // Pedestal and flare have an "Align" switch, flare an "Activate" switch.
    static bool hasAlign(int subPage) { return subPage == Pedestal || subPage == Flare; }

    void fill(const OutputStatePacket& state);
    int position(int subPage, int slider) const;
    bool isAligned(int subPage) const;
    bool flareOn() const { return flareOn_; }

    // The slider moved (released is true when it is let go): what to send, nothing for a slider
    // that waits for its release. With "Align" on, all three channels follow.
    QList<PaintParameter> move(int subPage, int slider, int position, bool released);
    // Switching "Align" on copies green to red and blue and sends all three.
    QList<PaintParameter> setAligned(int subPage, bool on);
    // This sub-page and every following one back to their defaults, all of it sent.
    QList<PaintParameter> setDefault(int subPage);
    PaintParameter setFlareOn(bool on);

private:
    PaintParameter send(int subPage, int slider) const;

    std::array<std::array<int, MaxSliders>, SubPageCount> positions_{};
    std::array<bool, SubPageCount> aligned_{};
    bool flareOn_ = false;
};
