#include "ProjectInput.h"

#include "FreeFormatReader.h"
#include "InputLimits.h"
#include "InputRefused.h"
#include "SharedStorage.h"

#include <algorithm>
#include <charconv>
#include <cmath>

namespace kd {

namespace {

std::string valueText(double v)
{
    char buf[64];
    const auto res = std::to_chars(buf, buf + sizeof buf, v);
    return std::string(buf, res.ptr);
}

std::string refusal(const std::string& record, const std::string& name, const std::string& value,
                    const std::string& rule)
{
    return "INPUT REFUSED: RECORD " + record + ": " + name + " = " + value + " " + rule;
}

} // namespace

std::optional<PilePair> firstOverlappingPiles(const ProjectInput& in)
{
    // Piles are swept in order of x: only piles whose x lies within one
    // diameter of each other can overlap, so a spread-out group needs few
    // distance evaluations. Among overlapping pairs the first in file order
    // (by first pile, then second) is reported.
    const double diameter = 2.0 * in.r;
    const int n = static_cast<int>(in.x.size());
    std::vector<int> order(static_cast<std::size_t>(n));
    for (int i = 0; i < n; ++i)
        order[static_cast<std::size_t>(i)] = i;
    std::stable_sort(order.begin(), order.end(), [&](int a, int b) {
        return in.x[static_cast<std::size_t>(a)] < in.x[static_cast<std::size_t>(b)];
    });
    std::optional<PilePair> found;
    for (int s = 0; s < n; ++s) {
        const auto a = static_cast<std::size_t>(order[static_cast<std::size_t>(s)]);
        for (int t = s + 1; t < n; ++t) {
            const auto b = static_cast<std::size_t>(order[static_cast<std::size_t>(t)]);
            if (in.x[b] - in.x[a] >= diameter)
                break;
            const double d = std::hypot(in.x[b] - in.x[a], in.y[b] - in.y[a]);
            if (!(d < diameter))
                continue;
            const int first = static_cast<int>(std::min(a, b)) + 1;
            const int second = static_cast<int>(std::max(a, b)) + 1;
            if (!found || first < found->first || (first == found->first && second < found->second))
                found = PilePair{first, second, d};
        }
    }
    return found;
}

long long ProjectInput::totalSublayers() const
{
    // Each count is an int, at most 40 layers: the sum cannot overflow a long long.
    long long total = 0;
    for (const auto& layer : layers)
        total += layer.nsub;
    return total;
}

std::string ProjectInput::title80() const
{
    constexpr std::size_t width = 80;
    std::size_t cut = std::min(title.size(), width);
    if (cut < title.size()) {
        // The front end writes the title in UTF-8: a letter that would not fit
        // whole is left out, so that the report never holds half of one. A
        // byte that is not part of a well-formed sequence is cut like any other.
        const auto byte = [this](std::size_t i) { return static_cast<unsigned char>(title[i]); };
        std::size_t lead = cut;
        while (lead > 0 && cut - lead < 3 && (byte(lead) & 0xC0) == 0x80)
            --lead;
        const unsigned char b = byte(lead);
        const std::size_t length = b >= 0xF0 && b < 0xF8 ? 4 : b >= 0xE0 ? 3 : b >= 0xC0 ? 2 : 1;
        if (lead < cut && (b & 0xC0) == 0xC0 && lead + length > cut)
            cut = lead;
    }
    std::string out = title.substr(0, cut);
    out.resize(width, ' ');
    return out;
}

double frequencyOf(const ProjectInput& input, int i)
{
    const double counter = static_cast<double>(i - 1);
    return input.dfreq * counter + input.freq0;
}

ProjectInput readProjectInput(FreeFormatReader& reader)
{
    ProjectInput in;
    in.title = reader.readText("1 (TITLE)");
    in.iunits = reader.readValues(1, "2 (UNITS)").integer(0, "UNITS");

    const int nl = reader.readValues(1, "3 (LAYER COUNT)").integer(0, "NUMBER OF LAYERS");
    if (nl < 1 || nl > kMaxLayers)
        throw InputRefused(refusal("3 (LAYER COUNT)", "NUMBER OF LAYERS", std::to_string(nl),
                                   "MUST BE FROM 1 TO " + std::to_string(kMaxLayers)));
    for (int j = 1; j <= nl; ++j) {
        const std::string name = "4 (LAYER " + std::to_string(j) + ")";
        const auto rec = reader.readValues(6, name);
        LayerInput layer;
        layer.nsub = rec.integer(0, "NUMBER OF SUBLAYERS");
        layer.height = rec.real(1, "HEIGHT");
        layer.vs = rec.real(2, "SHEAR-WAVE VELOCITY");
        layer.nu = rec.real(3, "POISSON RATIO");
        layer.rho = rec.real(4, "DENSITY");
        layer.beta = rec.real(5, "DAMPING RATIO");
        in.layers.push_back(layer);
    }

    const auto pile = reader.readValues(7, "5 (PILE)");
    in.ep = pile.real(0, "EP");
    in.ip = pile.real(1, "IP");
    in.ap = pile.real(2, "AP");
    in.poissonp = pile.real(3, "POISSONP");
    in.r = pile.real(4, "R");
    in.roup = pile.real(5, "ROUP");
    in.dampp = pile.real(6, "DAMPP");
    in.length = reader.readValues(1, "6 (PILE LENGTH)").real(0, "L");

    const int np = reader.readValues(1, "7 (PILE COUNT)").integer(0, "NUMBER OF PILES");
    if (np < 1 || np > kMaxPiles)
        throw InputRefused(refusal("7 (PILE COUNT)", "NUMBER OF PILES", std::to_string(np),
                                   "MUST BE FROM 1 TO " + std::to_string(kMaxPiles)));
    in.x.reserve(static_cast<std::size_t>(np));
    in.y.reserve(static_cast<std::size_t>(np));
    for (int i = 1; i <= np; ++i) {
        const auto rec = reader.readValues(2, "8 (PILE " + std::to_string(i) + ")");
        in.x.push_back(rec.real(0, "X"));
        in.y.push_back(rec.real(1, "Y"));
    }

    const auto sup = reader.readValues(4, "9 (SUPERSTRUCTURE)");
    in.baseMass = sup.real(0, "BASE MASS");
    in.topMass = sup.real(1, "TOP MASS");
    in.spring = sup.real(2, "SPRING");
    in.damping = sup.real(3, "DAMPING");

    const auto freq = reader.readValues(3, "10 (FREQUENCIES)");
    in.nfreq = freq.integer(0, "NUMBER OF FREQUENCIES");
    in.freq0 = freq.real(1, "INITIAL FREQUENCY");
    in.dfreq = freq.real(2, "FREQUENCY INCREMENT");
    return in;
}

std::optional<std::string> validateProjectInput(const ProjectInput& in)
{
    if (in.iunits != 1 && in.iunits != 2)
        return refusal("2 (UNITS)", "UNITS", std::to_string(in.iunits), "MUST BE 1 (ENGLISH) OR 2 (SI)");

    for (std::size_t j = 0; j < in.layers.size(); ++j) {
        const std::string record = "4 (LAYER " + std::to_string(j + 1) + ")";
        const auto& l = in.layers[j];
        if (l.nsub < 1 || l.nsub > kElementSlots)
            return refusal(record, "NUMBER OF SUBLAYERS", std::to_string(l.nsub),
                           "MUST BE FROM 1 TO " + std::to_string(kElementSlots));
        if (!(l.height > 0.0))
            return refusal(record, "HEIGHT", valueText(l.height), "MUST BE POSITIVE");
        if (!(l.vs > 0.0))
            return refusal(record, "SHEAR-WAVE VELOCITY", valueText(l.vs), "MUST BE POSITIVE");
        if (!(l.nu >= 0.0 && l.nu < 0.5))
            return refusal(record, "POISSON RATIO", valueText(l.nu), "MUST BE AT LEAST 0 AND BELOW 0.5");
        if (!(l.rho > 0.0))
            return refusal(record, "DENSITY", valueText(l.rho), "MUST BE POSITIVE");
        if (!(l.beta >= 0.0))
            return refusal(record, "DAMPING RATIO", valueText(l.beta), "MUST NOT BE NEGATIVE");
    }
    const long long total = in.totalSublayers();
    if (total > kMaxTotalSublayers)
        return refusal("4 (LAYERS)", "TOTAL NUMBER OF SUBLAYERS", std::to_string(total),
                       "MUST NOT EXCEED " + std::to_string(kMaxTotalSublayers));

    const std::string pile = "5 (PILE)";
    if (!(in.ep > 0.0))
        return refusal(pile, "EP", valueText(in.ep), "MUST BE POSITIVE");
    if (!(in.ip > 0.0))
        return refusal(pile, "IP", valueText(in.ip), "MUST BE POSITIVE");
    if (!(in.ap > 0.0))
        return refusal(pile, "AP", valueText(in.ap), "MUST BE POSITIVE");
    if (!(in.poissonp >= 0.0 && in.poissonp < 0.5))
        return refusal(pile, "POISSONP", valueText(in.poissonp), "MUST BE AT LEAST 0 AND BELOW 0.5");
    if (!(in.r > 0.0))
        return refusal(pile, "R", valueText(in.r), "MUST BE POSITIVE");
    if (!(in.roup >= 0.0))
        return refusal(pile, "ROUP", valueText(in.roup), "MUST NOT BE NEGATIVE");
    if (!(in.dampp >= 0.0))
        return refusal(pile, "DAMPP", valueText(in.dampp), "MUST NOT BE NEGATIVE");
    if (!(in.length > 0.0))
        return refusal("6 (PILE LENGTH)", "L", valueText(in.length), "MUST BE POSITIVE");
    if (const auto close = firstOverlappingPiles(in))
        return "INPUT REFUSED: RECORD 8 (PILES " + std::to_string(close->first) + " AND " +
               std::to_string(close->second) + "): CENTRE DISTANCE = " + valueText(close->distance) +
               " IS BELOW ONE PILE DIAMETER (2 R = " + valueText(2.0 * in.r) + ")";

    // Zero masses and spring mean "no superstructure"; negative ones have no meaning.
    const std::string sup = "9 (SUPERSTRUCTURE)";
    if (!(in.baseMass >= 0.0))
        return refusal(sup, "BASE MASS", valueText(in.baseMass), "MUST NOT BE NEGATIVE");
    if (!(in.topMass >= 0.0))
        return refusal(sup, "TOP MASS", valueText(in.topMass), "MUST NOT BE NEGATIVE");
    if (!(in.spring >= 0.0))
        return refusal(sup, "SPRING", valueText(in.spring), "MUST NOT BE NEGATIVE");
    if (!(in.damping >= 0.0))
        return refusal("9 (SUPERSTRUCTURE)", "DAMPING", valueText(in.damping), "MUST NOT BE NEGATIVE");

    const std::string freq = "10 (FREQUENCIES)";
    if (in.nfreq < 1 || in.nfreq > kMaxFrequencies)
        return refusal(freq, "NUMBER OF FREQUENCIES", std::to_string(in.nfreq),
                       "MUST BE FROM 1 TO " + std::to_string(kMaxFrequencies));
    for (int i = 1; i <= in.nfreq; ++i) {
        const double f = frequencyOf(in, i);
        if (!std::isfinite(f) || f < 0.0 || f >= kFrequencyLimit)
            return refusal(freq, "FREQUENCY " + std::to_string(i), valueText(f),
                           "MUST BE AT LEAST 0 AND BELOW 9999.9995 HZ");
    }
    return std::nullopt;
}

} // namespace kd
