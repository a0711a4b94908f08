// What a drag from the desktop offers a file list.
#pragma once

#include <string>
#include <vector>

#include "controls.h"

class QMimeData;

namespace rastrex::qt {

// The files a drag from the desktop offers (its text/uri-list), as the
// logic reads them.
class MimeDragData final : public DragData {
public:
    explicit MimeDragData(const QMimeData* data);
    bool getFormat(int format) const override;
    std::vector<std::string> files() const override;

private:
    std::vector<std::string> files_;
};

}  // namespace rastrex::qt
