#pragma once

// Ends the program from deep inside start-up (an unknown company database,
// for instance) through the normal shut-down of every window and data module.
struct ProgramEnd {
    int exitCode = 0;
};
