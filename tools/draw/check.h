#pragma once

#include <QString>

#include <ostream>

namespace art {

// Checks the stored pictures in `dir` against the layout the game relies
// on; reports every fault to `out` and returns the number of faults.
int checkPictures(const QString& dir, std::ostream& out);

}  // namespace art
