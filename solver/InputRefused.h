#pragma once

#include <stdexcept>
#include <string>

namespace kd {

// Project data that the analysis cannot accept (outside the capacities or the
// physical ranges); the text names the record and the value.
class InputRefused : public std::runtime_error {
public:
    explicit InputRefused(const std::string& what) : std::runtime_error(what) {}
};

} // namespace kd
