#include "ProjectText.h"

#include <charconv>

namespace kdtest {

std::string numberText(double v)
{
    char buf[64];
    const auto res = std::to_chars(buf, buf + sizeof buf, v);
    return std::string(buf, res.ptr);
}

std::string ProjectText::text() const
{
    const std::string nl = "\r\n";
    std::string s = title + nl + std::to_string(units) + " " + nl + std::to_string(layers.size()) + nl;
    for (const auto& l : layers)
        s += std::to_string(l.nsub) + " " + numberText(l.height) + " " + numberText(l.vs) + " " + numberText(l.nu) +
             " " + numberText(l.rho) + " " + numberText(l.beta) + nl;
    s += numberText(ep) + " " + numberText(ip) + " " + numberText(ap) + " " + numberText(poissonp) + " " +
         numberText(r) + " " + numberText(roup) + " " + numberText(dampp) + nl;
    s += numberText(length) + nl + std::to_string(piles.size()) + nl;
    for (const auto& p : piles)
        s += numberText(p.first) + " " + numberText(p.second) + " " + nl;
    s += numberText(baseMass) + " " + numberText(topMass) + " " + numberText(spring) + " " + numberText(damping) + nl;
    s += std::to_string(nfreq) + " " + numberText(freq0) + " " + numberText(dfreq) + nl;
    return s;
}

} // namespace kdtest
