// "Tag Formats": the selection dialog, then the editor for the chosen format
// or a new one.
#pragma once

#include "data/AEIData.h"
#include "editor/TTagFormat.h"

#include <QDialog>

#include <functional>

class QComboBox;

namespace velmora {

struct TagFormatCommandServices {
    // How a modal dialog is run (empty: exec); returns its result code.
    std::function<int(QDialog&)> run;
    TagFormatHooks hooks;
};

void TagFormatsCommand(AEIData& data, QWidget* parent, const TagFormatCommandServices& services);

// Refills a tag form's format list with the names of the defined slots in
// slot order (each item's data is its slot) and selects the current format.
void RefillTagFormatList(QComboBox* list, AEIData& data);

} // namespace velmora
