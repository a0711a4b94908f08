// Moving one file to the desktop's trash, from which the user can restore
// it, as the Qt builds name files (QString).
#pragma once

#include <QString>

namespace rastrex {

class Trash {
public:
    struct Outcome {
        bool moved = false;
        QString reason;  // why not, in words for the user, when !moved
    };

    virtual ~Trash() = default;
    // Moves exactly the file at `path` into the trash, or leaves it in place
    // and says why. Asks nothing.
    virtual Outcome moveToTrash(const QString& path) = 0;
};

// The platform's trash (on Linux the freedesktop.org trash of the file's volume).
Trash& systemTrash();

}  // namespace rastrex
