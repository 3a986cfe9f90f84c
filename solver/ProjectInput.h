#pragma once

// The project file as the analysis program reads it: the title as a text record,
// every later record free-format, in file order. Reading and checking are done
// before any output file is opened, so that a refused project leaves nothing
// behind.

#include <optional>
#include <string>
#include <vector>

namespace kd {

class FreeFormatReader;

struct LayerInput {
    int nsub = 0;
    double height = 0.0;
    double vs = 0.0;
    double nu = 0.0;
    double rho = 0.0;
    double beta = 0.0;
    bool operator==(const LayerInput&) const = default;
};

struct ProjectInput {
    std::string title;  // line 1 without its line end
    int iunits = 0;
    std::vector<LayerInput> layers;
    // pile record
    double ep = 0.0, ip = 0.0, ap = 0.0, poissonp = 0.0, r = 0.0, roup = 0.0, dampp = 0.0;
    double length = 0.0;
    std::vector<double> x, y;  // pile coordinates
    // superstructure record
    double baseMass = 0.0, topMass = 0.0, spring = 0.0, damping = 0.0;
    // frequency record
    int nfreq = 0;
    double freq0 = 0.0, dfreq = 0.0;

    long long totalSublayers() const;
    // The title as an 80-byte text field (cut before a UTF-8 letter that
    // would not fit whole, then blank-padded).
    std::string title80() const;
    bool operator==(const ProjectInput&) const = default;
};

// Reads every record of the project file. Throws RecordError for a record that
// cannot be read, and InputRefused for counts beyond the program's capacities
// (checked before the records they count are read).
ProjectInput readProjectInput(FreeFormatReader& reader);

// The first value of a read project that the analysis cannot accept, as a
// one-line message naming the record and the value; nothing when all is valid.
std::optional<std::string> validateProjectInput(const ProjectInput& input);

// Two piles whose centres are closer than one pile diameter (2 R), numbered
// from 1 in file order, with their centre distance.
struct PilePair {
    int first = 0;
    int second = 0;
    double distance = 0.0;
};
std::optional<PilePair> firstOverlappingPiles(const ProjectInput& input);

// Frequency i (1-based) of the range, computed as the frequency loops do.
double frequencyOf(const ProjectInput& input, int i);

} // namespace kd
