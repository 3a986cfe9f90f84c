#pragma once

// The head of the report: the program's heading, the symbol definitions and
// the echo of the project data, written after the storage has been filled.

namespace kd {

class OutputChannel;
struct ProjectInput;
struct SharedStorage;

// Heading, symbols, title, soil layers, pile, pile arrangement, superstructure.
void echoInput(OutputChannel& report, const ProjectInput& input, const SharedStorage& storage);

// The frequency record, echoed after the soil matrices are formed.
void echoFrequencies(OutputChannel& report, const ProjectInput& input);

// The warning for a pile that reaches below the soil column.
void writePileDepthWarning(OutputChannel& report);

} // namespace kd
