#pragma once

#include <stdexcept>
#include <string>

namespace kd {

// A file that cannot be opened, or a record that cannot be read. The text names
// the file and, for a read, the record.
class RecordError : public std::runtime_error {
public:
    explicit RecordError(const std::string& what) : std::runtime_error(what) {}
};

} // namespace kd
