// giflib, used as an independent reference decoder: the palette indices of
// every frame, row by row from the top, each row exactly Width bytes.
#pragma once

#include <cstdint>
#include <span>
#include <vector>

struct TReference_Frame {
    int Left = 0;
    int Top = 0;
    int Width = 0;
    int Height = 0;
    std::vector<std::uint8_t> Indices;
};

// False when giflib refuses the bytes.
bool Reference_Decode(std::span<const std::uint8_t> bytes, std::vector<TReference_Frame>& frames);
