#pragma once

// Data shared by name between the run driver, the kernels and the vertical
// stage. Arrays are indexed from 1 (index 0 of each array is never used) and
// start as zero; sublayer entries beyond the last sublayer stay zero, which
// the pile-depth walk relies on.

#include "InputLimits.h"

#include <array>
#include <string>

namespace kd {

constexpr int kMaxSublayers = 50;                  // soil arrays and the depth walk
constexpr int kElementSlots = kMaxTotalSublayers;  // pile element arrays: the total sublayer limit

struct SharedStorage {
    // File list: 1 project file, 2 report, 3 plot data file, 4 run notes, 5 and 6 unused.
    std::array<std::string, 7> fileNames{};

    int iunits = 0;  // 1 English, 2 SI: chooses unit labels only

    double subH[kMaxSublayers + 1]{};
    double subRho[kMaxSublayers + 1]{};
    double subVs[kMaxSublayers + 1]{};
    double subNu[kMaxSublayers + 1]{};
    double subEs[kMaxSublayers + 1]{};

    int nseg = 0;  // sublayers along the pile (depth walk)
    int nel = 0;   // elements that carry the section values below
    double elemAp[kMaxSublayers + 1]{};
    double elemIp[kElementSlots + 1]{};
    double elemPoissonp[kElementSlots + 1]{};

    double r = 0.0;      // pile radius
    double roup = 0.0;   // pile mass density
    double ep = 0.0;     // pile Young's modulus
    double dampp = 0.0;  // pile damping ratio

    // Fixed pile-model settings, assigned 0, 0, 0, 1 by both analyses:
    // 1 free length above ground, 2 axial force, 3 head mass,
    // 4 restraint of the rotation of the last node when > 0.
    std::array<double, 5> settings{};

    int nsegVertical = 0;  // the vertical stage's copy of the sublayer count along the pile

    void setPileModelSettings()
    {
        settings[1] = 0.0;
        settings[2] = 0.0;
        settings[3] = 0.0;
        settings[4] = 1.0;
    }
};

} // namespace kd
