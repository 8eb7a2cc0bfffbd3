// A gauge that counts its paints: how the gauge tests and the gauge bench
// see when a change repaints it.  Windows only.
#pragma once

#include "printing/gauge.h"

namespace velbrook {

class Counting_Gauge : public TGauge {
public:
    using TGauge::TGauge;
    void Paint(HDC dc, const RECT& area) override {
        ++paints;
        TGauge::Paint(dc, area);
    }
    long paints = 0;
};

}  // namespace velbrook
