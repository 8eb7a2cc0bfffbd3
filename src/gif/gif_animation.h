// The GIF control's animation clock and loop counting, as plain arithmetic:
// how long a frame stays, what one step does to the frame index and the pass
// count, and whether the timer should run.  Portable; the control applies the
// results to its timer and its composition.
#pragma once

namespace velbrook {

// How long a frame with this delay (milliseconds) stays at this speed
// (percent, at least 1): never under 50 ms at normal speed, never under 1 ms.
int Frame_Interval(int delay, int speed);

// The interval after a step that took `elapsed` milliseconds to compose and
// paint: the frame's interval less that time, at least 1 ms.
int Step_Interval(int delay, int speed, unsigned elapsed);

struct Animation_Counters {
    int current_frame = 1;   // the frame the next step shows
    int loop_iteration = 1;  // the pass being played, counted from 1
};

struct Step_Result {
    bool wrapped = false;       // the step went past the last frame
    bool pass_counted = false;  // a counted pass ended: the timer runs on only when keep_running
    bool keep_running = true;
};

// Advances the counters after the frame CurrentFrame was shown.  With a loop
// count (and Loop off) a finished pass is counted; after the last pass the
// index stays at FrameCount + 1, past the last frame, and the timer stops.
// Otherwise a wrap starts again from frame 1.
Step_Result Advance_Frame(Animation_Counters& counters, int frame_count, bool loop, int loop_count);

// Whether the animation timer should run: several frames, Animate on, a
// picture, and passes left (or endless playing).
bool Animation_Runs(bool multi_frame, bool animate, bool empty, bool loop, int loop_count, int loop_iteration);

}  // namespace velbrook
