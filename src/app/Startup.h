#pragma once

#include <QStringList>

// The program's start-up sequence, from the command line to the end of the
// message loop; returns the exit code.
//   priceinquiry MENUID USERID DATABASE x x WORKDATE
int runProgram(int argc, char** argv);
