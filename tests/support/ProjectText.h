#pragma once

#include <string>
#include <utility>
#include <vector>

namespace kdtest {

// A project for the tests, written in the project file's layout (CRLF lines,
// values separated by one blank).
struct ProjectText {
    struct Layer {
        int nsub;
        double height, vs, nu, rho, beta;
    };
    std::string title = "Test project";
    int units = 2;
    std::vector<Layer> layers{{3, 3.0, 100.0, 0.3, 1.8, 0.05}, {2, 4.0, 200.0, 0.35, 2.0, 0.02}};
    double ep = 2.5e7, ip = 0.0049087385, ap = 0.19634954, poissonp = 0.25, r = 0.25, roup = 2.5, dampp = 0.0;
    double length = 5.0;
    std::vector<std::pair<double, double>> piles{{0.0, 0.0}, {1.5, 0.0}};
    double baseMass = 0.0, topMass = 0.0, spring = 0.0, damping = 0.0;
    int nfreq = 2;
    double freq0 = 0.0, dfreq = 5.0;

    std::string text() const;
};

std::string numberText(double v);

} // namespace kdtest
