#include "gif/gif_animation.h"

#include <algorithm>

namespace velbrook {

int Frame_Interval(int delay, int speed) {
    const long long basis = std::max(delay, 50);
    const long long interval = basis * 100 / std::max(speed, 1);
    return static_cast<int>(std::max(interval, 1LL));
}

int Step_Interval(int delay, int speed, unsigned elapsed) {
    const long long left = static_cast<long long>(Frame_Interval(delay, speed)) - static_cast<long long>(elapsed);
    return static_cast<int>(std::max(left, 1LL));
}

Step_Result Advance_Frame(Animation_Counters& counters, int frame_count, bool loop, int loop_count) {
    Step_Result result;
    ++counters.current_frame;
    result.wrapped = counters.current_frame > frame_count;
    if (!loop && loop_count > 0 && result.wrapped) {
        ++counters.loop_iteration;
        result.pass_counted = true;
        result.keep_running = counters.loop_iteration <= loop_count;
    } else if (result.wrapped || counters.current_frame <= 0) {
        counters.current_frame = 1;
    }
    return result;
}

bool Animation_Runs(bool multi_frame, bool animate, bool empty, bool loop, int loop_count, int loop_iteration) {
    return multi_frame && animate && !empty && (loop || loop_count == 0 || loop_iteration <= loop_count);
}

}  // namespace velbrook
